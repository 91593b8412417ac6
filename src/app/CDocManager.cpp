#include "app/CDocManager.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <algorithm>

#include "app/CChildFrame.h"
#include "app/KChildFrames.h"
#include "app/KDocumentHistory.h"
#include "dialogs/KTextureListDlg.h"
#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "gui/KDialogKit.h"
#include "image/KImageMapTga.h"
#include "platform/KUi.h"
#include "views/CPexaView.h"

namespace {

// The question asked before a modified document or its texture list goes: Save, Discard
// or Cancel.
QMessageBox::StandardButton askSave(const QString& text) {
    return kAsk(nullptr, {.title = QStringLiteral("Quorl"),
                          .text = text,
                          .icon = QMessageBox::Question,
                          .buttons = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                          .defaultButton = QMessageBox::Save});
}

// Follows a document's modified flag into the caption of its windows of other kinds.
class KOtherWindowMarks : public KViewObserver {
public:
    KOtherWindowMarks(CPexaDoc& doc, const std::vector<QPointer<QMdiSubWindow>>& windows)
        : doc_(doc), windows_(windows) {
        doc_.addObserver(this);
    }
    ~KOtherWindowMarks() override { doc_.removeObserver(this); }
    void onUpdate(int, KPersistent*) override {}
    void onModifiedChanged(bool modified) override {
        for (const auto& w : windows_) {
            if (w) {
                w->setWindowModified(modified);
            }
        }
    }

private:
    CPexaDoc& doc_;
    const std::vector<QPointer<QMdiSubWindow>>& windows_;
};

} // namespace

CDocManager::Entry::~Entry() {
    marks.reset(); // stops observing before the document goes
    history.reset();
}

CDocManager::CDocManager(QMdiArea& area, QObject* parent) : QObject(parent), area_(area) {}

CDocManager::~CDocManager() {
    // Windows go first: their views stop observing before the documents die.
    closingDocument_ = true;
    for (auto& e : entries_) {
        closeOtherWindows(*e);
        for (CChildFrame* f : std::vector<CChildFrame*>(e->frames)) {
            delete f;
        }
    }
}

CDocManager::Entry* CDocManager::entryOf(const CPexaDoc* doc) const {
    for (const auto& e : entries_) {
        if (e->doc.get() == doc) {
            return e.get();
        }
    }
    return nullptr;
}

CPexaDoc* CDocManager::adopt(std::unique_ptr<CPexaDoc> doc, int untitled) {
    auto entry = std::make_unique<Entry>();
    entry->doc = std::move(doc);
    entry->untitled = untitled;
    entry->openedPreview = entry->doc->preview;
    entry->marks = std::make_unique<KOtherWindowMarks>(*entry->doc, entry->others);
    entry->history = std::make_unique<KDocumentHistory>(*entry->doc);
    undoGroup_.addStack(&entry->history->stack());
    CPexaDoc* raw = entry->doc.get();
    entries_.push_back(std::move(entry));
    CChildFrame* frame = newWindow(raw);
    frame->showMaximized();
    area_.setActiveSubWindow(frame);
    if (firstWindowOpened) {
        firstWindowOpened(*raw);
    }
    emit documentsChanged();
    return raw;
}

CPexaDoc* CDocManager::newDocument() {
    auto doc = std::make_unique<CPexaDoc>();
    doc->setModified(false);
    return adopt(std::move(doc), nextUntitled_++);
}

CPexaDoc* CDocManager::findByPath(const QString& path) const {
    const QString wanted = QFileInfo(path).canonicalFilePath();
    if (wanted.isEmpty()) {
        return nullptr;
    }
    for (const auto& e : entries_) {
        const QString have =
            QFileInfo(QString::fromStdString(e->doc->pathName())).canonicalFilePath();
        if (!have.isEmpty() && have == wanted) {
            return e->doc.get();
        }
    }
    return nullptr;
}

CPexaDoc* CDocManager::openDocument(const QString& path) {
    if (CPexaDoc* open = findByPath(path)) {
        const auto frames = framesOf(open);
        if (!frames.empty()) {
            area_.setActiveSubWindow(frames.front());
        }
        emit fileUsed(QFileInfo(path).absoluteFilePath());
        return open;
    }
    std::string error;
    std::unique_ptr<CPexaDoc> doc = kOpenDocument(path.toStdString(), &error);
    if (!doc) {
        if (!error.empty()) {
            kUi().message(error, KUi::Icon::Error);
        }
        return nullptr;
    }
    doc->setPathName(QFileInfo(path).absoluteFilePath().toStdString());
    doc->setModified(false);
    CPexaDoc* raw = adopt(std::move(doc), 0);
    emit fileUsed(QFileInfo(path).absoluteFilePath());
    return raw;
}

CPexaDoc* CDocManager::openRecovered(std::unique_ptr<CPexaDoc> doc, const QString& originalPath) {
    if (!doc) {
        return nullptr;
    }
    int untitled = 0;
    if (originalPath.isEmpty() || findByPath(originalPath)) {
        doc->setPathName(std::string());
        untitled = nextUntitled_++;
    } else {
        doc->setPathName(QFileInfo(originalPath).absoluteFilePath().toStdString());
    }
    CPexaDoc* raw = adopt(std::move(doc), untitled);
    raw->setModified(true);
    refreshTitles(raw);
    return raw;
}

bool CDocManager::saveDocument(CPexaDoc* doc) {
    if (!doc) {
        return false;
    }
    if (doc->pathName().empty()) {
        return saveDocumentAs(doc);
    }
    std::string error;
    if (!kSaveDocument(*doc, doc->pathName(), &error)) {
        kUi().message(error, KUi::Icon::Error);
        return false;
    }
    saveChangedLayerImages(*doc);
    if (KDocumentHistory* history = historyOf(doc)) {
        history->markSaved();
    }
    emit fileUsed(QString::fromStdString(doc->pathName()));
    return true;
}

void CDocManager::saveChangedLayerImages(CPexaDoc& doc) {
    // A document refers to its layer images by file name, so a flip made in the program
    // would be lost on reopening unless the image file is written too. The file may be
    // shared with other documents: the user decides.
    const QDir folder = QFileInfo(QString::fromStdString(doc.pathName())).absoluteDir();
    for (const auto& layer : doc.layers) {
        auto* image = dynamic_cast<KImageMapTga*>(layer->getImageMap());
        if (!image || !image->changedSinceLoad || image->name.empty()) {
            continue;
        }
        image->changedSinceLoad = false;
        // Where loading found it: beside the document first, then the working folder.
        const QString name = QString::fromStdString(image->name);
        QString path = folder.absoluteFilePath(name);
        if (QFileInfo(name).isRelative() && !QFileInfo::exists(path) && QFileInfo::exists(name)) {
            path = QFileInfo(name).absoluteFilePath();
        }
        const std::string file = QDir::toNativeSeparators(path).toStdString();
        // No unless chosen: Enter must not overwrite a picture another document may use.
        if (!kUi().askYesNo("The image map of layer \"" + layer->name +
                                "\" was changed. Save it to " + file + " as well?",
                            false)) {
            continue;
        }
        std::string reason;
        if (image->save(file, &reason) != KImageMapTga::SaveOk) {
            image->changedSinceLoad = true;
            kUi().message("Failed to save the layer image map:\n\n" + reason, KUi::Icon::Warning);
        }
    }
}

bool CDocManager::saveDocumentAs(CPexaDoc* doc) {
    if (!doc) {
        return false;
    }
    QString suggested = QString::fromStdString(doc->pathName());
    if (suggested.isEmpty()) {
        suggested = title(doc) + QStringLiteral(".qrz");
    }
    QString path = kChooseFile(nullptr, {.save = true,
                                         .title = QObject::tr("Save As"),
                                         .filter = QObject::tr("Quorl Files (*.qrz)"),
                                         .defaultSuffix = QString(),
                                         .initialName = suggested,
                                         .inWorkingFolder = true});
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".qrz");
    }
    std::string error;
    if (!kSaveDocument(*doc, path.toStdString(), &error)) {
        kUi().message(error, KUi::Icon::Error);
        return false;
    }
    doc->setPathName(QFileInfo(path).absoluteFilePath().toStdString());
    saveChangedLayerImages(*doc);
    if (KDocumentHistory* history = historyOf(doc)) {
        history->markSaved();
    }
    if (Entry* e = entryOf(doc)) {
        e->untitled = 0;
    }
    refreshTitles(doc);
    emit fileUsed(QFileInfo(path).absoluteFilePath());
    return true;
}

bool CDocManager::askToSave(CPexaDoc* doc) {
    return askToSaveDocument(doc) && askToSaveTextureList(doc);
}

bool CDocManager::askToSaveDocument(CPexaDoc* doc) {
    if (!doc->isModified()) {
        return true;
    }
    const QString text = QStringLiteral("Save changes to %1?").arg(title(doc));
    switch (askSave(text)) {
    case QMessageBox::Save:
    case QMessageBox::Yes:
        return saveDocument(doc);
    case QMessageBox::Discard:
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool CDocManager::askToSaveTextureList(CPexaDoc* doc) {
    // The document file does not hold the texture list, so changes to it that were never
    // saved to a texture list file go with the document.
    if (!doc->textures.hasUnsavedChanges()) {
        return true;
    }
    const QString text = QStringLiteral("The texture list of %1 has changes that are not saved. "
                                        "Save it as a texture list file?")
                             .arg(title(doc));
    switch (askSave(text)) {
    case QMessageBox::Save:
    case QMessageBox::Yes:
        // Cancelling the file chooser, or a file that cannot be written, keeps the
        // document open.
        return kSaveTextureList(area_.window(), doc->textures);
    case QMessageBox::Discard:
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool CDocManager::closeDocument(CPexaDoc* doc) {
    Entry* e = entryOf(doc);
    if (!e || !askToSave(doc)) {
        return false;
    }
    closingDocument_ = true;
    for (CChildFrame* f : std::vector<CChildFrame*>(e->frames)) {
        // Through the MDI area so it forgets the window; the frame deletes itself.
        f->close();
    }
    closingDocument_ = false;
    removeEntry(doc);
    return true;
}

bool CDocManager::closeAll() {
    while (!entries_.empty()) {
        if (!closeDocument(entries_.back()->doc.get())) {
            return false;
        }
    }
    return true;
}

CChildFrame* CDocManager::newWindow(CPexaDoc* doc) {
    Entry* e = entryOf(doc);
    if (!e) {
        return nullptr;
    }
    auto* frame = new CChildFrame(*this, *doc, nullptr);
    e->frames.push_back(frame);
    area_.addSubWindow(frame);
    frame->show();
    return frame;
}

bool CDocManager::canCloseFrame(CChildFrame* frame) {
    if (closingDocument_) {
        return true;
    }
    Entry* e = entryOf(&frame->document());
    if (!e || e->frames.size() > 1) {
        return true;
    }
    return askToSave(e->doc.get());
}

void CDocManager::frameDestroyed(CChildFrame* frame) {
    Entry* e = entryOf(&frame->document());
    if (!e) {
        return;
    }
    e->frames.erase(std::remove(e->frames.begin(), e->frames.end(), frame), e->frames.end());
    emit documentsChanged();
    if (e->frames.empty() && !closingDocument_) {
        removeEntry(e->doc.get());
    }
}

void CDocManager::removeEntry(const CPexaDoc* doc) {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [doc](const auto& e) { return e->doc.get() == doc; });
    if (it == entries_.end()) {
        return;
    }
    // Out of the list first, so windows closing below cannot remove it a second time.
    std::unique_ptr<Entry> entry = std::move(*it);
    entries_.erase(it);
    const bool wasClosing = closingDocument_;
    closingDocument_ = true;
    closeOtherWindows(*entry);
    for (CChildFrame* f : std::vector<CChildFrame*>(entry->frames)) {
        delete f; // its view stops observing the document before the document goes
    }
    closingDocument_ = wasClosing;
    entry.reset();
    emit documentsChanged();
}

CChildFrame* CDocManager::activeFrame() const {
    if (auto* f = qobject_cast<CChildFrame*>(area_.currentSubWindow())) {
        return f;
    }
    // Before the main window is shown nothing is active: the newest window counts.
    const auto windows = area_.subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (auto* f = qobject_cast<CChildFrame*>(*it)) {
            return f;
        }
    }
    return nullptr;
}

KDocumentHistory* CDocManager::historyOf(const CPexaDoc* doc) const {
    Entry* e = entryOf(doc);
    return e ? e->history.get() : nullptr;
}

CPexaDoc* CDocManager::activeDocument() const {
    // A window of another kind (3D preview, item editor, ...) stands for its document.
    if (QMdiSubWindow* w = area_.currentSubWindow(); w && !qobject_cast<CChildFrame*>(w)) {
        for (const auto& e : entries_) {
            for (const auto& other : e->others) {
                if (other == w) {
                    return e->doc.get();
                }
            }
        }
    }
    CChildFrame* f = activeFrame();
    return f ? &f->document() : nullptr;
}

const std::vector<CPexaDoc*> CDocManager::documents() const {
    std::vector<CPexaDoc*> out;
    for (const auto& e : entries_) {
        out.push_back(e->doc.get());
    }
    return out;
}

std::vector<CChildFrame*> CDocManager::framesOf(const CPexaDoc* doc) const {
    Entry* e = entryOf(doc);
    return e ? e->frames : std::vector<CChildFrame*>{};
}

QString CDocManager::title(const CPexaDoc* doc) const {
    Entry* e = entryOf(doc);
    if (!e) {
        return QString();
    }
    if (!doc->pathName().empty()) {
        return QFileInfo(QString::fromStdString(doc->pathName())).fileName();
    }
    return QStringLiteral("Quorl%1").arg(e->untitled);
}

void CDocManager::refreshTitles(const CPexaDoc* doc) {
    for (CChildFrame* f : framesOf(doc)) {
        f->view()->onUpdate(CPexaDoc::HintAll, nullptr);
    }
    for (QMdiSubWindow* w : otherWindowsOf(doc)) {
        if (auto* group = qobject_cast<KFrameQuorlG1*>(w); group && group->mapView()) {
            group->mapView()->onUpdate(CPexaDoc::HintAll, nullptr);
        } else {
            titleOtherWindow(w, doc);
        }
    }
}

void CDocManager::titleOtherWindow(QMdiSubWindow* window, const CPexaDoc* doc) const {
    const QString kind = window->property("windowKind").toString();
    window->setWindowTitle(title(doc) + QStringLiteral(" - ") + kind + QStringLiteral("[*]"));
    window->setWindowModified(doc->isModified());
}
