#include <QtTest>

#include "app/CMainFrame.h"

class TestMainFrame : public QObject {
    Q_OBJECT
private slots:
    void opensWithTitleAndClosesCleanly() {
        auto* frame = new CMainFrame;
        frame->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<CMainFrame> guard(frame);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Quorl"));
        QVERIFY(frame->close());
        QTRY_VERIFY(guard.isNull());
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
