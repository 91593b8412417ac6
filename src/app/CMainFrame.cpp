#include "app/CMainFrame.h"

#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quorl"));
    setCentralWidget(new QMdiArea(this));
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("E&xit"), QKeySequence::Quit, this, &QWidget::close);
    statusBar()->showMessage(tr("Ready"));
    resize(1024, 768);
}
