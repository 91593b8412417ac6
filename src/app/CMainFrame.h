#pragma once
// The application's main window: the MDI area with the documents' windows, the menus,
// five toolbars, the status bar with the message pane and the three lock indicators,
// the recent-file list and the window placement kept between runs.

#include <QHash>
#include <QKeySequence>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStringList>
#include <map>
#include <memory>

#include "app/CMainCommands.h"
#include "app/KExportCommand.h"
#include "app/KWindowTemplate.h"
#include "gui/KAppServices.h"

class CChildFrame;
class CDocManager;
class KAutosave;
class CPexaDoc;
class CPexaView;
class KBdlMuscle;
class KDocumentHistory;
class KView3D;
class QDockWidget;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMimeData;
class QToolBar;

// The desktop's key for a standard command; for Save As and Preferences, which some
// desktops leave without one, Ctrl+Shift+S and Ctrl+, there.
QKeySequence kStandardKey(QKeySequence::StandardKey key);

class CMainFrame : public QMainWindow, public KAppServices {
    Q_OBJECT
public:
    static constexpr int kRecentFiles = 4;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Start-up: a new document, or every file named on the command line. False when
    // none of the files can be opened.
    bool processCommandLine(const QStringList& arguments);
    // The window title for an active document: "Quorl - <document title>", or "Quorl"
    // when no document is active.
    QString titleFor(const CPexaDoc* doc) const;
    // Sets the title from the active document.
    void refreshTitle();

    CDocManager& documents() const { return *docs_; }
    QMdiArea* mdiArea() const { return area_; }
    CPexaDoc* activeDocument() const;
    CPexaView* activeView() const;
    // The commands, each built once with the frame.
    const CMainCommands& commands() const { return commands_; }
    // The action of a command, by its object name ("fileNew", "zoomIn", ...); null when
    // no command of that name has been built. For tests and tools that know a command
    // only by name; the frame itself uses commands().
    QAction* action(const QString& name) const;
    QToolBar* toolBar(const QString& title) const;
    QStringList recentFiles() const { return recent_; }
    void addRecentFile(const QString& path);
    // Sets every check mark and enabled state from the active document and view.
    void updateCommands() override;

    void tileVertically();
    void tileHorizontally();
    // Overlapping windows, each a title bar's height further down and right; no window
    // is made smaller than kMinCascadeSize (or the area, when that is smaller).
    void cascadeWindows();
    static constexpr QSize kMinCascadeSize{400, 300};

    // ---- preferences (kept in the settings, section "Settings")
    // Tile the windows when a document opens (on by default).
    bool arrangeWindows() const { return arrangeWindows_; }
    void setArrangeWindows(bool on);
    // Minutes between saves for recovery; 0 turns them off.
    int autosaveMinutes() const { return autosaveMinutes_; }
    void setAutosaveMinutes(int minutes);
    // Edit > Preferences: true for OK.
    bool editPreferences();

    // ---- recovery after a crash
    KAutosave& autosave() const { return *autosave_; }
    // At start-up: offers the documents a run that ended without closing them left
    // behind. Returns how many were opened.
    int offerRecovery();

    // The item clipboard: at most one muscle, shared by all documents. Setting it
    // replaces (and deletes) what it held.
    void setItemClipboard(std::unique_ptr<KBdlMuscle> muscle) override;

    // Runs an export command on the active document (or doc). True when a file was written.
    bool runExport(KExportCommand::Kind kind, CPexaDoc* doc = nullptr);
    // "File Export: Testing Routines": "Obj 2" runs the OBJ export, "ASCII NURBS 0" the
    // ASCII test export.
    bool runExportTesting(CPexaDoc& doc) override;
    const KBdlMuscle* itemClipboard() const override { return clipboard_.get(); }
    // Opens (or raises) the document's item editor on the muscle.
    void openItemEditor(CPexaDoc& doc, KBdlMuscle& muscle) override;
    // The 3D preview the preview commands act on: the active window when it is one, else
    // the most recently active preview of the active document; null when there is none.
    KView3D* activePreview() const;
    // Check marks and enabled states of the Shading Type toolbar.
    void updatePreviewCommands();

    // Edit > Texture List: "Modify..." (true for OK), "Save...", "Load..." (true when a
    // file was written or read), and the F11 test of the editor on a scratch copy.
    bool modifyTextureList(CPexaDoc& doc);
    bool saveTextureList(CPexaDoc& doc);
    bool loadTextureList(CPexaDoc& doc);
    bool textureListTest() override;

    // ---- window kinds (CMainFrameWindows.cpp): "3D Preview", "Curve", "MDL Item" and
    // "Quorl Group1", each opened through its template.
    // The template of a kind, made on first use and kept; null for an unknown kind.
    KWindowTemplate* windowTemplate(const QString& kind);
    // The template of a kind when it has been made, else null.
    const KWindowTemplate* existingTemplate(const QString& kind) const;
    size_t windowTemplateCount() const { return templates_.size(); }
    // Opens a window of the kind on doc, or on the active document when doc is null.
    // Without a document, or when the window cannot be made, the command-failure
    // message is shown, nothing else changes and the result is null.
    QMdiSubWindow* openWindowKind(const QString& kind, CPexaDoc* doc = nullptr);
    // Window > Anatomy: the anatomy sheet of the active document (failure without one).
    bool windowAnatomy();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Document files dropped on the window are opened.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The document files (".qrz") among the dropped URLs.
    static QStringList droppedDocuments(const QMimeData* data);
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    using CommandSlot = QAction* CMainCommands::*;
    // Builds a command's action, named name, and keeps it in its slot of commands_ (a
    // null slot for actions kept elsewhere, the layer slots).
    QAction* add(CommandSlot slot, const QString& name, const QString& text, const QString& prompt,
                 const QString& tip = QString());
    // A command that the active UV map view carries out (nothing without one).
    void addViewCommand(CommandSlot slot, const QString& name, const QString& text,
                        const QString& prompt, void (CPexaView::*command)());
    void createActions();
    // Shares the area among the windows that are not minimized, in window-list order:
    // side by side along Qt::Horizontal, stacked along Qt::Vertical.
    void tileWindows(Qt::Orientation direction);
    // The sub-windows that Tile and Cascade arrange.
    QList<QMdiSubWindow*> arrangedWindows() const;
    // The property dialogs' commands (CMainFrameItems.cpp).
    void createItemCommands();
    void addItemMenus(QMenu* edit, QMenu* object, QMenu* items);
    void updateItemCommands(bool hasDocument);
    void layerSlotCommand(int slot);
    // The UV map view's tools, clipboard, undo, size and capture (CMainFrameTools.cpp).
    void createToolCommands();
    void updateToolCommands();
    // Edit > Undo and Redo on the active document's history, and Window > Undo History.
    KDocumentHistory* activeHistory() const;
    void updateUndoCommands();
    void createHistoryWindow();
    // The 3D preview's commands and menu (CMainFramePreview.cpp).
    void createPreviewCommands();
    void createPreviewMenu();
    // Window > Displacement Image and the "&Image" menu (CMainFrameImage.cpp).
    void createImageCommands();
    void createImageMenu();

    // The Window menu's window kinds and the view commands that follow the active
    // window's kind (CMainFrameWindows.cpp).
    void createWindowCommands();
    // Carries out a view command (viewProperties, viewCapture, ...) for an active window
    // that is not a UV map view; false when the UV map view should do it.
    bool windowKindCommand(const QString& name);
    // Preferences (CMainFrameSession.cpp).
    void createSessionCommands();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void loadPreferences();
    void loadRecentFiles();
    void saveRecentFiles() const;
    void rebuildRecentMenu();
    void rebuildWindowMenu();

    void fileOpen();
    void openRecent(int index);
    void importTga();
    void setBaseShape(int shape);
    void runObjectDialog(int which);
    void about();

    CDocManager* docs_ = nullptr;
    KAutosave* autosave_ = nullptr;
    bool arrangeWindows_ = true;
    int autosaveMinutes_ = 2;
    QMdiArea* area_ = nullptr;
    CMainCommands commands_;
    QHash<QString, QAction*> actions_;
    QList<QToolBar*> toolBars_;
    QActionGroup* recalcGroup_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QList<QAction*> layerSlots_;
    QStringList recent_;
    QLabel* lockPanes_[3] = {};
    std::unique_ptr<KBdlMuscle> clipboard_;
    QPointer<QMdiSubWindow> previewActive_;
    QDockWidget* historyWindow_ = nullptr;
    std::map<QString, std::unique_ptr<KWindowTemplate>> templates_;
};
