#include "app/KQtUi.h"

#include <QApplication>
#include <QMessageBox>

#include "dialogs/KItemDefaultsDlg.h"
#include "dialogs/KPixelDepthDlg.h"
#include "dialogs/KProgressWindow.h"
#include "gui/KDialogKit.h"

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QMessageBox::Icon boxIcon(KUi::Icon icon) {
    switch (icon) {
    case KUi::Icon::Warning:
        return QMessageBox::Warning;
    case KUi::Icon::Error:
        return QMessageBox::Critical;
    case KUi::Icon::Information:
        break;
    }
    return QMessageBox::Information;
}

bool ask(QWidget* parent, std::string_view text, QMessageBox::StandardButton yes,
         QMessageBox::StandardButton no, bool defaultAnswer) {
    return kAsk(parent, {.title = QApplication::applicationName(),
                         .text = qs(text),
                         .icon = QMessageBox::Question,
                         .buttons = yes | no,
                         .defaultButton = defaultAnswer ? yes : no}) == yes;
}

} // namespace

KQtUi::~KQtUi() {
    delete progress_.data();
}

void KQtUi::message(std::string_view text, Icon icon) {
    kAsk(parent_, {.title = QApplication::applicationName(),
                   .text = qs(text),
                   .icon = boxIcon(icon),
                   .buttons = QMessageBox::Ok});
}

bool KQtUi::askYesNo(std::string_view text, bool defaultAnswer) {
    return ask(parent_, text, QMessageBox::Yes, QMessageBox::No, defaultAnswer);
}

bool KQtUi::askOkCancel(std::string_view text, bool defaultAnswer) {
    return ask(parent_, text, QMessageBox::Ok, QMessageBox::Cancel, defaultAnswer);
}

int KQtUi::askPixelDepth(int preset, const std::array<bool, 9>& enabled) {
    KPixelDepthDlg dlg(preset, enabled, parent_);
    return kRunDialog(dlg) == QDialog::Accepted ? dlg.choice() : -1;
}

bool KQtUi::askItemDefaults(std::string_view title, std::string_view note, double& totalWidth,
                            double& centerPosition) {
    KItemDefaultsDlg dlg(qs(title), qs(note), totalWidth, centerPosition, parent_);
    if (kRunDialog(dlg) != QDialog::Accepted) {
        return false;
    }
    totalWidth = dlg.totalWidth();
    centerPosition = dlg.centerPosition();
    return true;
}

void KQtUi::beginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void KQtUi::endWaitCursor() {
    QApplication::restoreOverrideCursor();
}

void KQtUi::progressBegin(std::string_view title) {
    // Nested progress windows share one window; the outermost owns it.
    if (progressDepth_++ == 0) {
        progress_ = new KProgressWindow(qs(title), parent_);
        // No other command may run meanwhile: the main window is disabled, the progress
        // window (a window of its own) stays usable so Cancel works.
        if (parent_) {
            parentWasEnabled_ = parent_->isEnabled();
            parent_->setEnabled(false);
            progress_->setEnabled(true);
        }
        progress_->show();
        QApplication::processEvents();
    }
}

void KQtUi::progressStatus(std::string_view text) {
    if (progress_) {
        progress_->setStatus(qs(text));
    }
}

void KQtUi::progressPosition(int percent) {
    if (progress_) {
        progress_->setPosition(percent);
    }
}

bool KQtUi::progressCancelled() {
    // The work runs on the interface thread: let the window repaint and Cancel respond.
    QApplication::processEvents();
    return progress_ && progress_->takeCancelled();
}

void KQtUi::progressEnd() {
    if (progressDepth_ > 0 && --progressDepth_ == 0) {
        delete progress_.data();
        if (parent_) {
            parent_->setEnabled(parentWasEnabled_);
        }
    }
}
