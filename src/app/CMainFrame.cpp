#include "app/CMainFrame.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/KAutosave.h"
#include "app/KChildFrames.h"
#include "app/KWindowPlacement.h"
#include "dialogs/KAboutDlg.h"
#include "dialogs/KExportDialogs.h"
#include "dialogs/KObjectDialogs.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogKit.h"
#include "gui/KToolIcons.h"
#include "model/KBdlMuscle.h"
#include "views/CPexaView.h"

namespace {

enum ObjectDialog { DlgDescription, DlgMesh, DlgImage, DlgBasicShape, DlgSuperQuad };

const char* const kRecentSection = "Recent File List";

} // namespace

QKeySequence kStandardKey(QKeySequence::StandardKey key) {
    // Desktops without a key for these get the one most desktops use.
    const QKeySequence own(key);
    if (!own.isEmpty()) {
        return own;
    }
    switch (key) {
    case QKeySequence::SaveAs:
        return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    case QKeySequence::Preferences:
        return QKeySequence(Qt::CTRL | Qt::Key_Comma);
    default:
        return own;
    }
}

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QStringLiteral("Quorl"));
    setWindowIcon(kProgramIcon());
    area_ = new QMdiArea(this);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    docs_ = new CDocManager(*area_, this);
    autosave_ = new KAutosave(*docs_, KAutosave::defaultRoot(), this);
    setAcceptDrops(true);
    resize(1024, 768);

    createActions();
    createPreviewCommands();
    createImageCommands();
    createMenus();
    createPreviewMenu();
    createImageMenu();
    createToolBars();
    createStatusBar();
    loadRecentFiles();
    loadPreferences();

    if (auto placement = KWindowPlacement::load()) {
        placement->applyTo(*this);
    }

    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (auto* frame = qobject_cast<CChildFrame*>(w)) {
            frame->view()->activated();
        }
        updateCommands();
        refreshTitle();
    });
    connect(docs_, &CDocManager::documentsChanged, this, &CMainFrame::updateCommands);
    connect(docs_, &CDocManager::documentsChanged, this, &CMainFrame::refreshTitle);
    connect(docs_, &CDocManager::fileUsed, this, &CMainFrame::addRecentFile);
    // Save As renames the document.
    connect(docs_, &CDocManager::fileUsed, this, &CMainFrame::refreshTitle);
    updateCommands();
}

CMainFrame::~CMainFrame() {
    // Autosave watches the documents: it goes first. Windows and documents go before the
    // menus and toolbars they update.
    delete autosave_;
    autosave_ = nullptr;
    delete docs_;
    docs_ = nullptr;
}

QAction* CMainFrame::add(CommandSlot slot, const QString& name, const QString& text,
                         const QString& prompt, const QString& tip) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    a->setStatusTip(prompt);
    QString shortTip = tip;
    if (shortTip.isEmpty()) {
        shortTip = text;
        shortTip.remove(QLatin1Char('&'));
        shortTip.remove(QStringLiteral("..."));
    }
    a->setToolTip(shortTip);
    actions_.insert(name, a);
    if (slot) {
        commands_.*slot = a;
    }
    return a;
}

void CMainFrame::addViewCommand(CommandSlot slot, const QString& name, const QString& text,
                                const QString& prompt, void (CPexaView::*command)()) {
    connect(add(slot, name, text, prompt), &QAction::triggered, this, [this, name, command] {
        if (windowKindCommand(name)) {
            return; // the active window of another kind carried it out
        }
        if (CPexaView* v = activeView()) {
            (v->*command)();
        }
    });
}

QAction* CMainFrame::action(const QString& name) const {
    return actions_.value(name);
}

QToolBar* CMainFrame::toolBar(const QString& title) const {
    for (QToolBar* t : toolBars_) {
        if (t->windowTitle() == title) {
            return t;
        }
    }
    return nullptr;
}

void CMainFrame::createActions() {
    QStyle* st = style();
    // File
    add(&CMainCommands::fileNew, "fileNew", tr("&New"), tr("Create a new document"), tr("New"))
        ->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    commands_.fileNew->setShortcut(QKeySequence::New);
    connect(commands_.fileNew, &QAction::triggered, this, [this] { docs_->newDocument(); });
    add(&CMainCommands::fileOpen, "fileOpen", tr("&Open..."), tr("Open an existing document"),
        tr("Open"))
        ->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    commands_.fileOpen->setShortcut(QKeySequence::Open);
    connect(commands_.fileOpen, &QAction::triggered, this, &CMainFrame::fileOpen);
    add(&CMainCommands::fileClose, "fileClose", tr("&Close"), tr("Close the active document"),
        tr("Close"))
        ->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));
    commands_.fileClose->setShortcut(QKeySequence::Close);
    connect(commands_.fileClose, &QAction::triggered, this,
            [this] { docs_->closeDocument(activeDocument()); });
    add(&CMainCommands::fileSave, "fileSave", tr("&Save"), tr("Save the active document"),
        tr("Save"))
        ->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    commands_.fileSave->setShortcut(QKeySequence::Save);
    connect(commands_.fileSave, &QAction::triggered, this,
            [this] { docs_->saveDocument(activeDocument()); });
    add(&CMainCommands::fileSaveAs, "fileSaveAs", tr("Save &As..."),
        tr("Save the active document with a new name"));
    commands_.fileSaveAs->setShortcut(kStandardKey(QKeySequence::SaveAs));
    connect(commands_.fileSaveAs, &QAction::triggered, this,
            [this] { docs_->saveDocumentAs(activeDocument()); });
    add(&CMainCommands::fileImportTga, "fileImportTga", tr("TGA..."), tr("Import Image"));
    connect(commands_.fileImportTga, &QAction::triggered, this, &CMainFrame::importTga);
    const struct {
        CommandSlot slot;
        const char* name;
        const char* text;
        const char* prompt;
        KExportCommand::Kind kind;
    } exports[] = {
        {&CMainCommands::fileExportMegaPov, "fileExportMegaPov", "&POV-Ray 3.1 and MegaPov...",
         "Export Mesh", KExportCommand::MegaPov},
        {&CMainCommands::fileExportDf3, "fileExportDf3", "POV Media Point Cloud (df3)...",
         "Export POV Media Point Cloud", KExportCommand::Df3},
        {&CMainCommands::fileExportRaw, "fileExportRaw", "R&AW ...", "Export Mesh",
         KExportCommand::Raw},
        {&CMainCommands::fileExportRib, "fileExportRib", "&RIB...", "Export Mesh",
         KExportCommand::Rib},
        {&CMainCommands::fileExportObj, "fileExportObj", "&OBJ (Wavefront)...", "Export Mesh",
         KExportCommand::Obj},
        {&CMainCommands::fileExportGltf, "fileExportGltf", "&glTF 2.0 (binary)...", "Export Mesh",
         KExportCommand::Gltf},
        {&CMainCommands::fileExportStl, "fileExportStl", "&STL...", "Export Mesh",
         KExportCommand::Stl},
        {&CMainCommands::fileExportPly, "fileExportPly", "P&LY...", "Export Mesh",
         KExportCommand::Ply},
        // The older single-file POV include export has no menu entry.
        {&CMainCommands::fileExportPovInclude, "fileExportPovInclude", "POV include...",
         "Export Mesh", KExportCommand::PovInclude},
    };
    for (const auto& e : exports) {
        const KExportCommand::Kind kind = e.kind;
        connect(add(e.slot, QString::fromLatin1(e.name), tr(e.text), tr(e.prompt)),
                &QAction::triggered, this, [this, kind] { runExport(kind); });
    }
    add(&CMainCommands::filePrintSetup, "filePrintSetup", tr("P&rint Setup..."),
        tr("Change the printer and printing options"))
        ->setEnabled(false);
    add(&CMainCommands::fileExit, "fileExit", tr("E&xit"),
        tr("Quit the application; prompts to save documents"));
    commands_.fileExit->setShortcut(QKeySequence::Quit);
    connect(commands_.fileExit, &QAction::triggered, this, &QWidget::close);

    // Edit: the item clipboard works in the UV map view's tools.
    add(&CMainCommands::editCut, "editCut", tr("Cu&t"),
        tr("Cut the selection and put it on the Clipboard"), tr("Cut"))
        ->setIcon(st->standardIcon(QStyle::SP_DialogDiscardButton));
    add(&CMainCommands::editCopy, "editCopy", tr("&Copy"),
        tr("Copy the selection and put it on the Clipboard"), tr("Copy"))
        ->setIcon(st->standardIcon(QStyle::SP_FileDialogContentsView));
    add(&CMainCommands::editPaste, "editPaste", tr("&Paste"), tr("Insert Clipboard contents"),
        tr("Paste"))
        ->setIcon(st->standardIcon(QStyle::SP_FileDialogDetailedView));

    // Window
    add(&CMainCommands::windowNew, "windowNew", tr("&UV Map"), tr("New Muscle Map View"));
    connect(commands_.windowNew, &QAction::triggered, this, [this] {
        if (CPexaDoc* doc = activeDocument()) {
            docs_->newWindow(doc);
        }
    });
    add(&CMainCommands::windowTileVert, "windowTileVert", tr("Tile &Vertically"),
        tr("Arrange windows side by side"), tr("Tile vertically"))
        ->setIcon(st->standardIcon(QStyle::SP_ToolBarVerticalExtensionButton));
    connect(commands_.windowTileVert, &QAction::triggered, this, &CMainFrame::tileVertically);
    add(&CMainCommands::windowTileHorz, "windowTileHorz", tr("Tile &Horizontally"),
        tr("Arrange windows as non-overlapping tiles"), tr("Tile horizontally"))
        ->setIcon(st->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton));
    connect(commands_.windowTileHorz, &QAction::triggered, this, &CMainFrame::tileHorizontally);
    add(&CMainCommands::windowCascade, "windowCascade", tr("&Cascade"),
        tr("Arrange windows so they overlap"));
    connect(commands_.windowCascade, &QAction::triggered, this, &CMainFrame::cascadeWindows);

    // Object
    recalcGroup_ = new QActionGroup(this);
    const char* const recalcNames[3] = {"recalcAuto", "recalcOnActivate", "recalcManual"};
    const CommandSlot recalcSlots[3] = {
        &CMainCommands::recalcAuto, &CMainCommands::recalcOnActivate, &CMainCommands::recalcManual};
    const QString recalcTexts[3] = {tr("&Auto"), tr("&On Activate"), tr("&Manual")};
    const QString recalcPrompts[3] = {tr("Auto Recalc"), tr("Recalc on activate"),
                                      tr("Recalc Off")};
    for (int mode = 0; mode < 3; ++mode) {
        QAction* a =
            add(recalcSlots[mode], recalcNames[mode], recalcTexts[mode], recalcPrompts[mode]);
        a->setCheckable(true);
        recalcGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, mode] {
            if (CPexaDoc* doc = activeDocument()) {
                doc->recalcMode = mode;
            }
            updateCommands();
        });
    }
    add(&CMainCommands::recalcNow, "recalcNow", tr("&Now"), tr("Calculate Mesh"));
    connect(commands_.recalcNow, &QAction::triggered, this, [this] {
        if (CPexaDoc* doc = activeDocument()) {
            doc->recalcNow();
        }
    });
    add(&CMainCommands::itemAnatomy, "itemAnatomy", tr("Anatomy..."), tr("Anatomy"))
        ->setCheckable(true);
    add(&CMainCommands::itemShape, "itemShape", tr("Basic Shape..."), tr("Shape"))
        ->setCheckable(true);
    connect(commands_.itemShape, &QAction::triggered, this,
            [this] { runObjectDialog(DlgBasicShape); });
    for (int slot = 0; slot < CPexaDoc::kLayerSlots; ++slot) {
        QAction* a = add(nullptr, QStringLiteral("itemLayer%1").arg(slot), QString(),
                         tr("Layer %1").arg(slot));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, slot] { layerSlotCommand(slot); });
        layerSlots_ << a;
    }
    add(&CMainCommands::itemMoreLayers, "itemMoreLayers", tr("&More Layers..."),
        tr("More Layer's"));
    add(&CMainCommands::objectDescription, "objectDescription", tr("&Description..."),
        tr("ObjectDescription"));
    connect(commands_.objectDescription, &QAction::triggered, this,
            [this] { runObjectDialog(DlgDescription); });
    add(&CMainCommands::objectProperties, "objectProperties", tr("&Properties..."),
        tr("Object Properties"));
    connect(commands_.objectProperties, &QAction::triggered, this,
            [this] { runObjectDialog(DlgMesh); });
    add(&CMainCommands::objectImage, "objectImage", tr("&Image Properties..."),
        tr("Image Properties"));
    connect(commands_.objectImage, &QAction::triggered, this,
            [this] { runObjectDialog(DlgImage); });

    // Object Shape toolbar
    const char* const shapeNames[4] = {"shapeConic", "shapePlanar", "shapeSpheric", "shapeDisc"};
    const CommandSlot shapeSlots[4] = {&CMainCommands::shapeConic, &CMainCommands::shapePlanar,
                                       &CMainCommands::shapeSpheric, &CMainCommands::shapeDisc};
    const QString shapeTexts[4] = {tr("Conic"), tr("Planar"), tr("Spheric"), tr("Disc")};
    const int shapeValues[4] = {CPexaDoc::Conic, CPexaDoc::Planar, CPexaDoc::Spheric,
                                CPexaDoc::Disc};
    for (int i = 0; i < 4; ++i) {
        QAction* a = add(shapeSlots[i], shapeNames[i], shapeTexts[i], shapeTexts[i]);
        a->setCheckable(true);
        const int value = shapeValues[i];
        connect(a, &QAction::triggered, this, [this, value] { setBaseShape(value); });
    }
    add(&CMainCommands::shapeSuperQuad, "shapeSuperQuad", tr("SuperQuadratic(s)"),
        tr("SuperQuadratic(s)"))
        ->setCheckable(true);
    connect(commands_.shapeSuperQuad, &QAction::triggered, this,
            [this] { runObjectDialog(DlgSuperQuad); });

    // New Item toolbar, Edit and the view's tool commands (CMainFrameTools.cpp).
    createToolCommands();
    // Shading Type toolbar: the 3D preview's commands.
    const struct {
        CommandSlot slot;
        const char* name;
        const char* text;
    } shading[] = {
        {&CMainCommands::shadeSmooth, "shadeSmooth", "Smooth"},
        {&CMainCommands::shadeFlat, "shadeFlat", "Flat"},
        {&CMainCommands::shadeWire, "shadeWire", "Wire"},
        {&CMainCommands::shadePoint, "shadePoint", "Point"},
        {&CMainCommands::viewRotate, "viewRotate", "Rotate"},
        {&CMainCommands::viewPan, "viewPan", "Pan"},
        {&CMainCommands::viewRecenter, "viewRecenter", "Re-center"},
        {&CMainCommands::animSpin, "animSpin", "Spin"},
        {&CMainCommands::animFrame, "animFrame", "Frame"},
        {&CMainCommands::animReverse, "animReverse", "Reverse"},
        {&CMainCommands::animClear, "animClear", "Clear"},
    };
    for (const auto& c : shading) {
        add(c.slot, QString::fromLatin1(c.name), tr(c.text), tr(c.text))->setEnabled(false);
    }

    // UV map view commands
    addViewCommand(&CMainCommands::zoomIn, "zoomIn", tr("Zoom &In"), tr("Zoom In"),
                   &CPexaView::zoomIn);
    addViewCommand(&CMainCommands::zoomOut, "zoomOut", tr("Zoom &Out"), tr("Zoom Out"),
                   &CPexaView::zoomOut);
    addViewCommand(&CMainCommands::zoomCustom, "zoomCustom", tr("&Custom Scale..."),
                   tr("Custom Scale"), &CPexaView::customScale);
    addViewCommand(&CMainCommands::zoomReset, "zoomReset", tr("&Reset Scaling"),
                   tr("Reset Scaling"), &CPexaView::resetZoom);
    commands_.zoomIn->setShortcut(QKeySequence::ZoomIn);
    commands_.zoomOut->setShortcut(QKeySequence::ZoomOut);
    addViewCommand(&CMainCommands::viewProperties, "viewProperties",
                   tr("Active View &Properties..."), tr("Active View Properties"),
                   &CPexaView::properties);
    addViewCommand(&CMainCommands::viewSelectLayers, "viewSelectLayers", tr("Select &Layers..."),
                   tr("Select Layers"), &CPexaView::selectLayers);

    add(&CMainCommands::viewStatusBar, "viewStatusBar", tr("&Status Bar"),
        tr("Show or hide the status bar"))
        ->setCheckable(true);
    connect(commands_.viewStatusBar, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });

    add(&CMainCommands::helpAbout, "helpAbout", tr("&About Quorl..."),
        tr("Display program information and version"));
    connect(commands_.helpAbout, &QAction::triggered, this, &CMainFrame::about);
    createItemCommands();
    createWindowCommands();
    createSessionCommands();
}

void CMainFrame::createMenus() {
    fileMenu_ = menuBar()->addMenu(tr("&File"));
    fileMenu_->addActions({commands_.fileNew, commands_.fileOpen, commands_.fileClose,
                           commands_.fileSave, commands_.fileSaveAs});
    fileMenu_->addSeparator();
    QMenu* import = fileMenu_->addMenu(tr("&Import"));
    import->addAction(commands_.fileImportTga);
    QMenu* exportMenu = fileMenu_->addMenu(tr("&Export"));
    exportMenu->addActions({commands_.fileExportMegaPov, commands_.fileExportDf3,
                            commands_.fileExportRaw, commands_.fileExportRib,
                            commands_.fileExportObj, commands_.fileExportGltf,
                            commands_.fileExportStl, commands_.fileExportPly});
    fileMenu_->addSeparator();
    fileMenu_->addAction(commands_.filePrintSetup);
    recentSeparator_ = fileMenu_->addSeparator();
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* a = new QAction(this);
        a->setObjectName(QStringLiteral("fileMru%1").arg(i + 1));
        a->setStatusTip(tr("Open this document"));
        connect(a, &QAction::triggered, this, [this, i] { openRecent(i); });
        recentActions_ << a;
        fileMenu_->addAction(a);
    }
    fileMenu_->addSeparator();
    fileMenu_->addAction(commands_.fileExit);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(commands_.editUndo);
    edit->addAction(commands_.editRedo);
    edit->addSeparator();
    edit->addActions({commands_.editCut, commands_.editCopy, commands_.editPaste});
    edit->addSeparator();
    edit->addAction(commands_.editPreferences);
    connect(edit, &QMenu::aboutToShow, this, &CMainFrame::updateCommands);

    QMenu* object = menuBar()->addMenu(tr("&Object"));
    QMenu* recalc = object->addMenu(tr("&Recalc"));
    recalc->addActions({commands_.recalcAuto, commands_.recalcOnActivate, commands_.recalcManual,
                        commands_.recalcNow});
    QMenu* items = object->addMenu(tr("Modify &Items"));
    items->addAction(commands_.itemAnatomy);
    items->addAction(commands_.itemShape);
    items->addSeparator();
    items->addActions(layerSlots_);
    items->addAction(commands_.itemMoreLayers);
    object->addSeparator();
    object->addAction(commands_.objectDescription);
    object->addAction(commands_.objectProperties);
    object->addAction(commands_.objectImage);
    addItemMenus(edit, object, items);
    connect(object, &QMenu::aboutToShow, this, &CMainFrame::updateCommands);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    // The toolbar toggles are added by createToolBars.
    QMenu* grid = menuBar()->addMenu(tr("&Grid"));
    grid->addActions(
        {commands_.zoomIn, commands_.zoomOut, commands_.zoomCustom, commands_.zoomReset});
    grid->addSeparator();
    grid->addAction(commands_.viewSelectLayers);
    grid->addAction(commands_.viewProperties);
    grid->addSeparator();
    grid->addAction(commands_.viewSetSize);
    grid->addAction(commands_.viewCapture);

    windowMenu_ = menuBar()->addMenu(tr("&Window"));
    connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::rebuildWindowMenu);
    rebuildWindowMenu();

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(commands_.helpAbout);
}

void CMainFrame::createToolBars() {
    struct Bar {
        const char* title;
        CommandSlot toggle;
        const char* toggleName;
        const char* toggleText;
        std::vector<QAction*> buttons; // nullptr: separator
    };
    const CMainCommands& c = commands_;
    const std::vector<Bar> bars = {
        {"Main Toolbar",
         &CMainCommands::viewToolBar,
         "viewToolBar",
         "&Tool Bar",
         {c.fileNew, c.fileOpen, c.fileClose, c.fileSave, nullptr, c.editCut, c.editCopy,
          c.editPaste, nullptr, c.windowTileVert, c.windowTileHorz}},
        {"New Item",
         &CMainCommands::viewNewItemBar,
         "viewNewItemBar",
         "&Create Item(s)",
         {c.toolPointer, nullptr, c.toolFitBounds, c.toolFitLine, nullptr, c.toolVertical,
          c.toolOrbital, c.toolPoint, nullptr, c.toolRepeat}},
        {"Object Shape",
         &CMainCommands::viewShapeBar,
         "viewShapeBar",
         "Object Shape",
         {c.shapeConic, c.shapePlanar, nullptr, c.shapeSpheric, c.shapeDisc, nullptr,
          c.shapeSuperQuad}},
        {"Shading Type",
         &CMainCommands::viewShadingBar,
         "viewShadingBar",
         "3D Shading",
         {c.shadeSmooth, c.shadeFlat, c.shadeWire, c.shadePoint, nullptr, c.viewRotate, c.viewPan,
          c.viewRecenter, nullptr, c.animSpin, c.animFrame, c.animReverse, c.animClear}},
        {"Muscle Map Tools",
         &CMainCommands::viewMapToolsBar,
         "viewMapToolsBar",
         "Muscle Map Tools",
         {c.zoomIn, c.zoomOut, c.zoomCustom, c.zoomReset}},
    };
    QMenu* view = menuBar()->findChild<QMenu*>(QStringLiteral("viewMenu"));
    for (const Bar& b : bars) {
        auto* bar = new QToolBar(tr(b.title), this);
        bar->setObjectName(QString::fromLatin1(b.title).remove(QLatin1Char(' ')));
        bar->setAllowedAreas(Qt::AllToolBarAreas);
        bar->setIconSize(QSize(16, 16));
        for (QAction* a : b.buttons) {
            if (a) {
                if (a->icon().isNull()) {
                    a->setIcon(kToolIcon(a->objectName()));
                }
                bar->addAction(a);
            } else {
                bar->addSeparator();
            }
        }
        QAction* toggle = bar->toggleViewAction();
        toggle->setObjectName(QString::fromLatin1(b.toggleName));
        toggle->setText(tr(b.toggleText));
        toggle->setStatusTip(tr("Show or hide the %1 toolbar").arg(tr(b.title)));
        actions_.insert(toggle->objectName(), toggle);
        commands_.*b.toggle = toggle;
        toolBars_ << bar;
    }
    view->addAction(commands_.viewToolBar);
    view->addAction(commands_.viewStatusBar);
    view->addSeparator();
    view->addActions({commands_.viewNewItemBar, commands_.viewShapeBar, commands_.viewShadingBar,
                      commands_.viewMapToolsBar});
    view->addSeparator();
    view->addAction(commands_.viewResetView);
    // Docking: Main Toolbar on top with Object Shape beside it, Muscle Map Tools on the
    // left with New Item beside it, Shading Type on the right.
    addToolBar(Qt::TopToolBarArea, toolBar("Main Toolbar"));
    addToolBar(Qt::TopToolBarArea, toolBar("Object Shape"));
    addToolBar(Qt::LeftToolBarArea, toolBar("Muscle Map Tools"));
    addToolBar(Qt::LeftToolBarArea, toolBar("New Item"));
    addToolBar(Qt::RightToolBarArea, toolBar("Shading Type"));
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    const char* const names[3] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        lockPanes_[i] = new QLabel(QString::fromLatin1(names[i]), bar);
        lockPanes_[i]->setObjectName(QStringLiteral("lockPane%1").arg(i));
        lockPanes_[i]->setAlignment(Qt::AlignCenter);
        lockPanes_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        lockPanes_[i]->setMinimumWidth(
            lockPanes_[i]->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 10);
        // The platform gives no portable way to read the lock keys: shown dimmed.
        lockPanes_[i]->setEnabled(false);
        bar->addPermanentWidget(lockPanes_[i]);
    }
    bar->showMessage(tr("Ready"));
    // When a command prompt goes away the idle text comes back.
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& text) {
        if (text.isEmpty()) {
            bar->showMessage(tr("Ready"));
        }
    });
    commands_.viewStatusBar->setChecked(true);
}

// ---- start-up and close

bool CMainFrame::processCommandLine(const QStringList& arguments) {
    QStringList files;
    for (int i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].startsWith(QLatin1Char('-'))) {
            files << arguments[i];
        }
    }
    if (files.isEmpty()) {
        return docs_->newDocument() != nullptr;
    }
    // Every file named is opened; one that cannot be read has said so and the others
    // still open. Start-up fails only when none of them could be opened.
    bool opened = false;
    for (const QString& file : files) {
        opened = docs_->openDocument(file) != nullptr || opened;
    }
    return opened;
}

QString CMainFrame::titleFor(const CPexaDoc* doc) const {
    const QString name = doc ? docs_->title(doc) : QString();
    return name.isEmpty() ? QStringLiteral("Quorl") : QStringLiteral("Quorl - ") + name;
}

void CMainFrame::refreshTitle() {
    setWindowTitle(titleFor(activeDocument()));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    KWindowPlacement::of(*this).save();
    if (!docs_->closeAll()) {
        event->ignore();
        return;
    }
    // A normal end: nothing is left to recover.
    autosave_->endSession();
    saveRecentFiles();
    QMainWindow::closeEvent(event);
}

void CMainFrame::setItemClipboard(std::unique_ptr<KBdlMuscle> muscle) {
    clipboard_ = std::move(muscle);
}

void CMainFrame::openItemEditor(CPexaDoc& doc, KBdlMuscle& muscle) {
    docs_->openItemEditor(&doc, &muscle);
}

// ---- recent files

void CMainFrame::loadRecentFiles() {
    QSettings settings;
    recent_.clear();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString v =
            settings.value(QStringLiteral("%1/File%2").arg(kRecentSection).arg(i)).toString();
        if (!v.isEmpty()) {
            recent_ << v;
        }
    }
    rebuildRecentMenu();
}

void CMainFrame::saveRecentFiles() const {
    QSettings settings;
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString key = QStringLiteral("%1/File%2").arg(kRecentSection).arg(i);
        if (i <= recent_.size()) {
            settings.setValue(key, recent_[i - 1]);
        } else {
            settings.remove(key);
        }
    }
}

void CMainFrame::addRecentFile(const QString& path) {
    const QString canonical = QFileInfo(path).absoluteFilePath();
    recent_.removeAll(canonical);
    recent_.prepend(canonical);
    while (recent_.size() > kRecentFiles) {
        recent_.removeLast();
    }
    rebuildRecentMenu();
    saveRecentFiles();
}

void CMainFrame::rebuildRecentMenu() {
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* a = recentActions_[i];
        if (i < recent_.size()) {
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(recent_[i]).fileName()));
            a->setToolTip(recent_[i]);
            a->setVisible(true);
        } else {
            a->setVisible(false);
        }
    }
    recentSeparator_->setVisible(!recent_.isEmpty());
}

void CMainFrame::openRecent(int index) {
    if (index < 0 || index >= recent_.size()) {
        return;
    }
    const QString path = recent_[index];
    if (!docs_->openDocument(path)) {
        // A file that cannot be opened leaves the list.
        recent_.removeAll(path);
        rebuildRecentMenu();
        saveRecentFiles();
    }
}

void CMainFrame::fileOpen() {
    const QString path = kChooseFile(
        this, {.title = tr("Open"), .filter = tr("Quorl Files (*.qrz);;All Files (*)")});
    if (!path.isEmpty()) {
        docs_->openDocument(path);
    }
}

// ---- windows

CPexaDoc* CMainFrame::activeDocument() const {
    return docs_ ? docs_->activeDocument() : nullptr;
}

CPexaView* CMainFrame::activeView() const {
    if (auto* group = qobject_cast<KFrameQuorlG1*>(area_->currentSubWindow())) {
        return group->mapView(); // the group window's map view is a UV map view too
    }
    CChildFrame* f = docs_ ? docs_->activeFrame() : nullptr;
    return f ? f->view() : nullptr;
}

void CMainFrame::tileVertically() {
    // Side by side, each window the full height of the area.
    tileWindows(Qt::Horizontal);
}

void CMainFrame::tileHorizontally() {
    // Stacked, each window the full width of the area.
    tileWindows(Qt::Vertical);
}

QList<QMdiSubWindow*> CMainFrame::arrangedWindows() const {
    // Minimised windows keep their icons where they are.
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area_->subWindowList()) {
        if (!w->isMinimized()) {
            windows << w;
        }
    }
    return windows;
}

void CMainFrame::tileWindows(Qt::Orientation direction) {
    const QList<QMdiSubWindow*> windows = arrangedWindows();
    if (windows.isEmpty()) {
        return;
    }
    // Tiled windows need no scroll bars: the area without them is shared out.
    const QRect r(QPoint(0, 0), area_->contentsRect().size());
    const int n = int(windows.size());
    const int length = direction == Qt::Horizontal ? r.width() : r.height();
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        const int from = length * i / n;
        const int to = length * (i + 1) / n;
        if (direction == Qt::Horizontal) {
            windows[i]->setGeometry(from, 0, to - from, r.height());
        } else {
            windows[i]->setGeometry(0, from, r.width(), to - from);
        }
    }
}

void CMainFrame::rebuildWindowMenu() {
    windowMenu_->clear();
    // One command per window kind; a kind whose command is not built is left out.
    for (QAction* a : {commands_.windowNew, commands_.window3DPreview, commands_.windowCurve,
                       commands_.windowImage, commands_.windowMdlItem, commands_.windowGroup,
                       commands_.windowAnatomy, commands_.windowUndoHistory}) {
        if (a) {
            windowMenu_->addAction(a);
        }
    }
    windowMenu_->addSeparator();
    windowMenu_->addAction(commands_.windowCascade);
    windowMenu_->addAction(commands_.windowTileVert);
    windowMenu_->addAction(commands_.windowTileHorz);
    const auto windows = area_->subWindowList();
    if (!windows.isEmpty()) {
        windowMenu_->addSeparator();
    }
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* w = windows[i];
        QString title = w->windowTitle();
        title.replace(QStringLiteral("[*]"),
                      w->isWindowModified() ? QStringLiteral("*") : QString());
        QAction* a = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        a->setCheckable(true);
        a->setChecked(w == area_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { area_->setActiveSubWindow(w); });
    }
}

// ---- object commands

void CMainFrame::setBaseShape(int shape) {
    if (CPexaDoc* doc = activeDocument()) {
        doc->baseShape = shape;
        doc->nameNextEdit("Base Shape");
        doc->rebuildGrid();
    }
    updateCommands();
}

void CMainFrame::runObjectDialog(int which) {
    CPexaDoc* doc = activeDocument();
    if (!doc) {
        updateCommands();
        return;
    }
    std::unique_ptr<KObjectDialog> dlg;
    switch (which) {
    case DlgDescription:
        dlg = std::make_unique<CObjectDescriptionDlg>(*doc, this);
        break;
    case DlgMesh:
        dlg = std::make_unique<CMeshPropertiesDlg>(*doc, this);
        break;
    case DlgImage:
        dlg = std::make_unique<CImagePropertiesDlg>(*doc, this);
        break;
    case DlgBasicShape:
        dlg = std::make_unique<CBasicShapeDlg>(*doc, this);
        break;
    default:
        dlg = std::make_unique<CSuperQuadDlg>(*doc, this);
        break;
    }
    dlg->run();
    updateCommands();
}

bool CMainFrame::runExport(KExportCommand::Kind kind, CPexaDoc* doc) {
    if (!doc) {
        doc = activeDocument();
    }
    if (!doc) {
        return false;
    }
    KExportCommand command(*doc, this);
    return command.run(kind);
}

bool CMainFrame::runExportTesting(CPexaDoc& doc) {
    KExportCommand command(doc, this);
    CExportTestingDlg dialog(this);
    if (kRunDialog(dialog) != QDialog::Accepted) {
        return false;
    }
    return command.run(dialog.choice() == CExportTestingDlg::AsciiNurbs0 ? KExportCommand::Ascii
                                                                         : KExportCommand::Obj);
}

void CMainFrame::about() {
    KAboutDlg dlg(this);
    kRunDialog(dlg);
}

void CMainFrame::updateCommands() {
    CPexaDoc* doc = activeDocument();
    const bool hasDoc = doc != nullptr;
    const CMainCommands& c = commands_;
    for (QAction* a : {c.fileClose,         c.fileSave,
                       c.fileSaveAs,        c.fileImportTga,
                       c.fileExportMegaPov, c.fileExportDf3,
                       c.fileExportRaw,     c.fileExportRib,
                       c.fileExportObj,     c.fileExportPovInclude,
                       c.windowNew,         c.recalcNow,
                       c.itemShape,         c.objectDescription,
                       c.objectProperties,  c.objectImage,
                       c.shapeConic,        c.shapePlanar,
                       c.shapeSpheric,      c.shapeDisc,
                       c.shapeSuperQuad,    c.zoomIn,
                       c.zoomOut,           c.zoomCustom,
                       c.zoomReset,         c.viewProperties,
                       c.viewSelectLayers,  c.recalcAuto,
                       c.recalcOnActivate,  c.recalcManual,
                       c.fileExportGltf,    c.fileExportStl,
                       c.fileExportPly}) {
        a->setEnabled(hasDoc);
    }
    updateItemCommands(hasDoc);
    const int mode = hasDoc ? doc->recalcMode : -1;
    commands_.recalcAuto->setChecked(mode == CPexaDoc::RecalcAuto);
    commands_.recalcOnActivate->setChecked(mode == CPexaDoc::RecalcOnActivate);
    commands_.recalcManual->setChecked(mode == CPexaDoc::RecalcManual);
    const int item = hasDoc ? doc->currentItem : 0;
    commands_.itemAnatomy->setChecked(item == CPexaDoc::ItemAnatomy);
    commands_.itemShape->setChecked(item == CPexaDoc::ItemShape);
    for (int slot = 0; slot < layerSlots_.size(); ++slot) {
        QAction* a = layerSlots_[slot];
        a->setText(hasDoc ? QString::fromStdString(doc->layerSlotText(slot))
                          : QStringLiteral("(unused)"));
        a->setEnabled(hasDoc && doc->layerSlotEnabled(slot));
        a->setChecked(hasDoc && doc->layerSlotChecked(slot));
    }
    commands_.itemMoreLayers->setEnabled(hasDoc && doc->moreLayersEnabled());
    const int shape = hasDoc ? doc->baseShape : -1;
    commands_.shapeConic->setChecked(shape == CPexaDoc::Conic);
    commands_.shapePlanar->setChecked(shape == CPexaDoc::Planar);
    commands_.shapeSpheric->setChecked(shape == CPexaDoc::Spheric);
    commands_.shapeDisc->setChecked(shape == CPexaDoc::Disc);
    commands_.shapeSuperQuad->setChecked(shape >= CPexaDoc::SuperQuad &&
                                         shape <= CPexaDoc::SuperQuad + 2);
    updateToolCommands();
}
