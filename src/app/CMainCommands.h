#pragma once
// The main window's commands, one member each, filled where the actions are built. The
// code that wires, enables, checks or triggers a command reaches it here; each action's
// object name is the member's name, by which tests and the guide's tools find it.

class QAction;

struct CMainCommands {
    // File
    QAction* fileNew = nullptr;
    QAction* fileOpen = nullptr;
    QAction* fileClose = nullptr;
    QAction* fileSave = nullptr;
    QAction* fileSaveAs = nullptr;
    QAction* fileImportTga = nullptr;
    QAction* fileExportMegaPov = nullptr;
    QAction* fileExportDf3 = nullptr;
    QAction* fileExportRaw = nullptr;
    QAction* fileExportRib = nullptr;
    QAction* fileExportObj = nullptr;
    QAction* fileExportGltf = nullptr;
    QAction* fileExportStl = nullptr;
    QAction* fileExportPly = nullptr;
    QAction* fileExportPovInclude = nullptr;
    QAction* filePrintSetup = nullptr;
    QAction* fileExit = nullptr;

    // Edit
    QAction* editUndo = nullptr;
    QAction* editRedo = nullptr;
    QAction* editCut = nullptr;
    QAction* editCopy = nullptr;
    QAction* editPaste = nullptr;
    QAction* textureModify = nullptr;
    QAction* textureSave = nullptr;
    QAction* textureLoad = nullptr;
    QAction* editPreferences = nullptr;

    // Object (the layer slots are CMainFrame::layerSlots_)
    QAction* recalcAuto = nullptr;
    QAction* recalcOnActivate = nullptr;
    QAction* recalcManual = nullptr;
    QAction* recalcNow = nullptr;
    QAction* itemAnatomy = nullptr;
    QAction* itemShape = nullptr;
    QAction* itemMoreLayers = nullptr;
    QAction* objectDescription = nullptr;
    QAction* objectProperties = nullptr;
    QAction* objectImage = nullptr;
    QAction* objectDefineLayers = nullptr;

    // Object Shape toolbar
    QAction* shapeConic = nullptr;
    QAction* shapePlanar = nullptr;
    QAction* shapeSpheric = nullptr;
    QAction* shapeDisc = nullptr;
    QAction* shapeSuperQuad = nullptr;

    // New Item toolbar: the UV map view's tools
    QAction* toolPointer = nullptr;
    QAction* toolFitBounds = nullptr;
    QAction* toolFitLine = nullptr;
    QAction* toolVertical = nullptr;
    QAction* toolOrbital = nullptr;
    QAction* toolPoint = nullptr;
    QAction* toolRepeat = nullptr;

    // Shading Type toolbar: the 3D preview's commands
    QAction* shadeSmooth = nullptr;
    QAction* shadeFlat = nullptr;
    QAction* shadeWire = nullptr;
    QAction* shadePoint = nullptr;
    QAction* viewRotate = nullptr;
    QAction* viewPan = nullptr;
    QAction* viewRecenter = nullptr;
    QAction* animSpin = nullptr;
    QAction* animFrame = nullptr;
    QAction* animReverse = nullptr;
    QAction* animClear = nullptr;
    QAction* previewMenu = nullptr;

    // Grid and View
    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;
    QAction* zoomCustom = nullptr;
    QAction* zoomReset = nullptr;
    QAction* viewProperties = nullptr;
    QAction* viewSelectLayers = nullptr;
    QAction* viewSetSize = nullptr;
    QAction* viewCapture = nullptr;
    QAction* viewStatusBar = nullptr;
    // The active document's 3D preview back to the camera the document opened with.
    QAction* viewResetView = nullptr;
    // The toolbars' show/hide toggles
    QAction* viewToolBar = nullptr;
    QAction* viewNewItemBar = nullptr;
    QAction* viewShapeBar = nullptr;
    QAction* viewShadingBar = nullptr;
    QAction* viewMapToolsBar = nullptr;

    // Window
    QAction* windowNew = nullptr;
    QAction* window3DPreview = nullptr;
    QAction* windowCurve = nullptr;
    QAction* windowImage = nullptr;
    QAction* windowMdlItem = nullptr;
    QAction* windowGroup = nullptr;
    QAction* windowAnatomy = nullptr;
    QAction* windowUndoHistory = nullptr;
    QAction* windowCascade = nullptr;
    QAction* windowTileVert = nullptr;
    QAction* windowTileHorz = nullptr;

    // Help
    QAction* helpAbout = nullptr;
};
