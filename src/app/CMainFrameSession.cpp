// The main window's session: the preferences kept between runs, recovery of documents a
// crash left behind, files dropped on the window and the cascade arrangement.

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMimeData>
#include <QSettings>
#include <QStyle>
#include <algorithm>

#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KAutosave.h"
#include "dialogs/KPreferencesDlg.h"
#include "dialogs/KRecoveryDlg.h"
#include "gui/KDialogKit.h"

namespace {

const QString kArrangeKey = QStringLiteral("Settings/ArrangeWindows");
const QString kAutosaveKey = QStringLiteral("Settings/AutosaveMinutes");
constexpr int kMinuteMs = 60 * 1000;

} // namespace

void CMainFrame::createSessionCommands() {
    add(&CMainCommands::editPreferences, "editPreferences", tr("Pre&ferences..."),
        tr("Change how windows are arranged and how often documents are saved for recovery"));
    commands_.editPreferences->setShortcut(kStandardKey(QKeySequence::Preferences));
    commands_.editPreferences->setMenuRole(QAction::PreferencesRole);
    connect(commands_.editPreferences, &QAction::triggered, this, &CMainFrame::editPreferences);
}

void CMainFrame::loadPreferences() {
    const QSettings settings;
    arrangeWindows_ = settings.value(kArrangeKey, true).toBool();
    bool ok = false;
    const int minutes = settings.value(kAutosaveKey, 2).toInt(&ok);
    // A value that is not a number of minutes keeps the default.
    setAutosaveMinutes(ok ? minutes : 2);
}

void CMainFrame::setArrangeWindows(bool on) {
    arrangeWindows_ = on;
    QSettings().setValue(kArrangeKey, on);
}

void CMainFrame::setAutosaveMinutes(int minutes) {
    autosaveMinutes_ = std::clamp(minutes, 0, KPreferencesDlg::kMaxAutosaveMinutes);
    QSettings().setValue(kAutosaveKey, autosaveMinutes_);
    autosave_->setInterval(autosaveMinutes_ * kMinuteMs);
}

bool CMainFrame::editPreferences() {
    KPreferencesDlg dialog({arrangeWindows_, autosaveMinutes_}, this);
    if (kRunDialog(dialog) != QDialog::Accepted) {
        return false;
    }
    const KPreferencesDlg::Values v = dialog.values();
    setArrangeWindows(v.arrangeWindows);
    if (v.autosaveMinutes != autosaveMinutes_) {
        setAutosaveMinutes(v.autosaveMinutes);
    }
    return true;
}

int CMainFrame::offerRecovery() {
    const std::vector<KAutosave::Recovered> found = autosave_->findRecovered();
    if (found.empty()) {
        return 0;
    }
    std::vector<KRecoveryDlg::Row> rows;
    for (const KAutosave::Recovered& r : found) {
        rows.push_back({r.title, r.originalPath, r.time});
    }
    KRecoveryDlg dialog(rows, this);
    switch (kRunDialog(dialog)) {
    case QDialog::Accepted: {
        std::vector<KAutosave::Recovered> chosen;
        for (int i : dialog.chosen()) {
            chosen.push_back(found[size_t(i)]);
        }
        const int opened = autosave_->openRecovered(chosen);
        updateCommands();
        refreshTitle();
        return opened;
    }
    case KRecoveryDlg::Discard:
        autosave_->discardRecovered();
        return 0;
    default:
        autosave_->keepRecoveredForLater();
        return 0;
    }
}

// ---- dropped files

QStringList CMainFrame::droppedDocuments(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile())
                                         .suffix()
                                         .compare(QLatin1String("qrz"), Qt::CaseInsensitive) == 0) {
            files << url.toLocalFile();
        }
    }
    return files;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    // Only document files are taken: anything else would be read as a document.
    if (!droppedDocuments(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList files = droppedDocuments(event->mimeData());
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    for (const QString& file : files) {
        docs_->openDocument(file);
    }
}

// ---- cascade

void CMainFrame::cascadeWindows() {
    const QList<QMdiSubWindow*> windows = arrangedWindows();
    if (windows.isEmpty()) {
        return;
    }
    const QSize areaSize = area_->contentsRect().size();
    const int step =
        std::max(16, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.front()) + 4);
    // Each window keeps at least a usable size; when the steps would push the next one
    // past that, the cascade starts again at the top left.
    const QSize minimum = kMinCascadeSize.boundedTo(areaSize);
    const int room =
        std::min(areaSize.width() - minimum.width(), areaSize.height() - minimum.height());
    const int perRun = std::max(1, std::min(int(windows.size()), room / step + 1));
    const QSize size(std::max(minimum.width(), areaSize.width() - (perRun - 1) * step),
                     std::max(minimum.height(), areaSize.height() - (perRun - 1) * step));
    for (int i = 0; i < windows.size(); ++i) {
        const int k = i % perRun;
        windows[i]->showNormal();
        windows[i]->setGeometry(k * step, k * step, size.width(), size.height());
        windows[i]->raise();
    }
    if (QMdiSubWindow* active = area_->activeSubWindow()) {
        active->raise();
    }
}
