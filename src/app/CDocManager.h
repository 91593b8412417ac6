#pragma once
// Owns the open documents and knows their windows: New, Open (an open file is brought to
// the front instead), Save, Save As, closing a document or one of its windows with the
// questions to save it and its texture list, and closing everything on exit.

#include <QMdiSubWindow>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QUndoGroup>
#include <functional>
#include <memory>
#include <vector>

#include "document/CPexaDoc.h"

class CPexaDoc;
class CChildFrame;
class KFrame3D;
class KBdlMuscle;
class KFrameCurve;
class KFrameDummy;
class KFrameMdl;
class KFrameQuorlG1;
class KDocumentHistory;
class KViewObserver;
class QMdiArea;
class QMdiSubWindow;

class CDocManager : public QObject {
    Q_OBJECT
public:
    explicit CDocManager(QMdiArea& area, QObject* parent = nullptr);
    ~CDocManager() override;

    // A new default document in a new window.
    CPexaDoc* newDocument();
    // Opens path in a new window, or brings its window to the front when it is open
    // already. Reports a load failure and returns null.
    CPexaDoc* openDocument(const QString& path);
    // A document recovered after a crash, in a new window and marked modified. With its
    // original path it takes that path and name, so Save writes there; without one, or
    // when that file is open already, it is untitled.
    CPexaDoc* openRecovered(std::unique_ptr<CPexaDoc> doc, const QString& originalPath);
    bool saveDocument(CPexaDoc* doc);
    bool saveDocumentAs(CPexaDoc* doc);
    // After a save: offers to write each layer image changed in memory (flipped) back to
    // its file, which the document refers to by name.
    void saveChangedLayerImages(CPexaDoc& doc);
    // Asks to save when modified; false when the user cancels (the document stays).
    bool closeDocument(CPexaDoc* doc);
    bool closeAll();

    // A further window on the document.
    CChildFrame* newWindow(CPexaDoc* doc);
    // A new 3D preview window on the document; it closes with the document.
    KFrame3D* open3DPreview(CPexaDoc* doc);
    // The document's windows of other kinds than the UV map that are still open.
    std::vector<QMdiSubWindow*> otherWindowsOf(const CPexaDoc* doc) const;
    // Window close: true when the window may go (asks to save when it is the document's
    // last window and the document is modified).
    bool canCloseFrame(CChildFrame* frame);
    void frameDestroyed(CChildFrame* frame);

    CPexaDoc* activeDocument() const;
    // The document's undo history; null for a document not held here.
    KDocumentHistory* historyOf(const CPexaDoc* doc) const;
    // Every document's undo stack; the active document's is the group's active one.
    QUndoGroup& undoGroup() { return undoGroup_; }
    CChildFrame* activeFrame() const;
    const std::vector<CPexaDoc*> documents() const;
    std::vector<CChildFrame*> framesOf(const CPexaDoc* doc) const;
    QString title(const CPexaDoc* doc) const;
    CPexaDoc* findByPath(const QString& path) const;

    // The document's item editor (made on first use, then reused), activated and, with a
    // muscle, loaded with it. Null when the window cannot be made (reported).
    KFrameMdl* openItemEditor(CPexaDoc* doc, KBdlMuscle* muscle);
    KFrameMdl* itemEditorOf(const CPexaDoc* doc) const;
    // A new "Curve" window on the document.
    KFrameCurve* openCurveWindow(CPexaDoc* doc);
    // A new "Displacement Image" window on the document (CMainFrameImage.cpp).
    KFrameDummy* openImageWindow(CPexaDoc* doc);

    // A new group window on the document, filling the area, its lower pane a UV map view.
    KFrameQuorlG1* openGroupWindow(CPexaDoc* doc);

    // Called once a new or opened document has its first window (the main frame opens
    // the document's 3D preview beside it).
    std::function<void(CPexaDoc&)> firstWindowOpened;

signals:
    // A file was opened or saved under this path (for the recent-file list).
    void fileUsed(const QString& path);
    void documentsChanged();

private:
    struct Entry {
        std::unique_ptr<CPexaDoc> doc;
        int untitled = 0; // number of the "QuorlN" title, 0 once the document has a path
        std::vector<CChildFrame*> frames;
        // Windows of other kinds (3D preview, ...): closed before the document goes.
        std::vector<QPointer<QMdiSubWindow>> others;
        // Keeps the modified mark of those windows in step with the document.
        std::unique_ptr<KViewObserver> marks;
        // The preview camera the document opened with, for Reset View.
        KPreviewState openedPreview;
        std::unique_ptr<KDocumentHistory> history;
        ~Entry();
    };
    void closeOtherWindows(Entry& entry);
    Entry* entryOf(const CPexaDoc* doc) const;
    CPexaDoc* adopt(std::unique_ptr<CPexaDoc> doc, int untitled);
    // Before a document closes: its own changes, then its texture list's. False when
    // the user cancels.
    bool askToSave(CPexaDoc* doc);
    bool askToSaveDocument(CPexaDoc* doc);
    bool askToSaveTextureList(CPexaDoc* doc);
    void refreshTitles(const CPexaDoc* doc);
    void removeEntry(const CPexaDoc* doc);
    // Places a window of another kind in the area and ties it to the document, so it
    // closes with the document.
    void adoptWindow(QMdiSubWindow* window, CPexaDoc* doc, const QString& kind);
    // Titles a window of another kind: "<document title> - <kind>" with the modified mark.
    void titleOtherWindow(QMdiSubWindow* window, const CPexaDoc* doc) const;

    QMdiArea& area_;
    QUndoGroup undoGroup_;
    std::vector<std::unique_ptr<Entry>> entries_;
    int nextUntitled_ = 1;
    bool closingDocument_ = false;
};
