// The real program killed after an edit: the next start offers the edited document, which
// opens with the edit under its own name, while a second instance started while the first
// still runs is offered nothing.

#include "KGuiTestKit.h"
#include "document/KDocumentFile.h"

class TestCrashRecovery : public QObject {
    Q_OBJECT

    QTemporaryDir home_;

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home_.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home_.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("config")));
        return env;
    }

    // The recovery descriptions written so far.
    QStringList recoveryFiles() const {
        QStringList out;
        QDirIterator it(home_.filePath(QStringLiteral("data")), {QStringLiteral("*.json")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            out << it.next();
        }
        return out;
    }

    // A start that opens whatever is offered, prints the documents and ends.
    QStringList reportRun() const {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(QStringLiteral(QUORL_EXECUTABLE), {QStringLiteral("--test-recover-report")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            return {QStringLiteral("failed: ") + QString::fromLocal8Bit(p.readAllStandardError())};
        }
        return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void aKilledRunsEditIsRecovered() {
        const QString path = home_.filePath(QStringLiteral("model.qrz"));
        CPexaDoc original;
        original.description = "as saved";
        QVERIFY(kSaveDocument(original, path.toStdString(), nullptr));

        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(QStringLiteral(QUORL_EXECUTABLE),
                    {path, QStringLiteral("--test-autosave-ms=100"),
                     QStringLiteral("--test-edit=edit before the crash")});
        QVERIFY(first.waitForStarted(30000));
        QTRY_VERIFY_WITH_TIMEOUT(!recoveryFiles().isEmpty(), 30000);

        // While the first run lives its files are not offered.
        QCOMPARE(reportRun(), QStringList({QStringLiteral("recovered\t0"),
                                           QStringLiteral("document\tQuorl1\t\t0\t") +
                                               QString::fromStdString(CPexaDoc().description)}));
        QVERIFY(!recoveryFiles().isEmpty());

        first.kill(); // SIGKILL: no clean-up runs
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitStatus(), QProcess::CrashExit);

        const QStringList report = reportRun();
        QVERIFY2(report.contains(QStringLiteral("recovered\t1")), qPrintable(report.join('\n')));
        QVERIFY2(report.contains(QStringLiteral("document\tmodel.qrz\t") + path +
                                 QStringLiteral("\t1\tedit before the crash")),
                 qPrintable(report.join('\n')));
        // The user's file was never written by autosave, and nothing is left to offer.
        std::string error;
        QCOMPARE(kOpenDocument(path.toStdString(), &error)->description, std::string("as saved"));
        QVERIFY(recoveryFiles().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCrashRecovery)
#include "tst_crashrecovery.moc"
