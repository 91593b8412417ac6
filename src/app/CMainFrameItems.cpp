// The main window's commands that open the property dialogs: the anatomy sheet, the
// layer slots, "More Layers...", "Define Layers...", File > Import > TGA and
// Edit > Texture List, and the F11 test of the texture list editor.

#include <QKeyEvent>
#include <QMenu>

#include "app/CMainFrame.h"
#include "dialogs/KAnatomyDialogs.h"
#include "dialogs/KLayerDialogs.h"
#include "dialogs/KTextureListDlg.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogKit.h"
#include "platform/KUi.h"
#include "views/CPexaView.h"

void CMainFrame::createItemCommands() {
    connect(commands_.itemAnatomy, &QAction::triggered, this, [this] {
        if (CPexaDoc* doc = activeDocument()) {
            kEditAnatomy(this, *doc);
        }
        updateCommands();
    });
    connect(commands_.itemMoreLayers, &QAction::triggered, this, [this] {
        if (CPexaDoc* doc = activeDocument(); doc && doc->moreLayersEnabled()) {
            kMoreLayers(this, *doc);
        }
        updateCommands();
    });
    connect(add(&CMainCommands::objectDefineLayers, "objectDefineLayers", tr("Define &Layers..."),
                tr("Edit Layer's")),
            &QAction::triggered, this, [this] {
                if (CPexaDoc* doc = activeDocument()) {
                    kDefineLayers(this, *doc);
                }
                updateCommands();
            });
    connect(add(&CMainCommands::textureModify, "textureModify", tr("&Modify..."),
                tr("Modify Textures")),
            &QAction::triggered, this, [this] {
                if (CPexaDoc* doc = activeDocument()) {
                    modifyTextureList(*doc);
                }
            });
    connect(add(&CMainCommands::textureSave, "textureSave", tr("&Save..."), tr("Save Textures")),
            &QAction::triggered, this, [this] {
                if (CPexaDoc* doc = activeDocument()) {
                    saveTextureList(*doc);
                }
            });
    connect(add(&CMainCommands::textureLoad, "textureLoad", tr("&Load..."), tr("Load Textures")),
            &QAction::triggered, this, [this] {
                if (CPexaDoc* doc = activeDocument()) {
                    loadTextureList(*doc);
                }
            });
}

void CMainFrame::addItemMenus(QMenu* edit, QMenu* object, QMenu* items) {
    edit->addSeparator();
    QMenu* textures = edit->addMenu(tr("Texture &List"));
    textures->addActions({commands_.textureModify, commands_.textureSave, commands_.textureLoad});
    object->insertAction(items->menuAction(), commands_.objectDefineLayers);
}

void CMainFrame::updateItemCommands(bool hasDocument) {
    for (QAction* a : {commands_.itemAnatomy, commands_.objectDefineLayers, commands_.textureModify,
                       commands_.textureSave, commands_.textureLoad}) {
        a->setEnabled(hasDocument);
    }
}

void CMainFrame::layerSlotCommand(int slot) {
    CPexaDoc* doc = activeDocument();
    if (doc && doc->layerSlotEnabled(slot)) {
        doc->currentItem = CPexaDoc::ItemFirstLayer + slot;
        kOpenCurrentLayer(this, *doc);
    }
    updateCommands();
}

void CMainFrame::importTga() {
    // An active UV map view imports with its own options (it knows its layer selection).
    if (CPexaView* view = activeView()) {
        view->importImage();
        updateCommands();
        return;
    }
    if (CPexaDoc* doc = activeDocument()) {
        kImportTga(this, *doc);
    }
    updateCommands();
}

bool CMainFrame::modifyTextureList(CPexaDoc& doc) {
    KTextureListDlg dlg(doc.textures, this);
    const bool ok = kRunDialog(dlg) == QDialog::Accepted;
    if (ok) {
        dlg.applyFields();
    }
    // The list is not part of the document file; the views only redraw with its colours.
    doc.updateAllViews(CPexaDoc::HintAll);
    return ok;
}

bool CMainFrame::saveTextureList(CPexaDoc& doc) {
    return kSaveTextureList(this, doc.textures);
}

bool CMainFrame::loadTextureList(CPexaDoc& doc) {
    if (!kLoadTextureList(this, doc.textures)) {
        return false;
    }
    doc.updateAllViews(CPexaDoc::HintAll);
    return true;
}

bool CMainFrame::textureListTest() {
    kUi().message("...init test routines...", KUi::Icon::Information);
    // A scratch copy: the test stores nothing.
    CPexaDoc* doc = activeDocument();
    KTextureList scratch = doc ? doc->textures : KTextureList::defaults();
    KTextureListDlg dlg(scratch, this);
    const bool ok = kRunDialog(dlg) == QDialog::Accepted;
    kUi().message(ok ? "...Saving Settings..." : "options canceled...", KUi::Icon::Information);
    return ok;
}

void CMainFrame::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F11 && !event->isAutoRepeat()) {
        textureListTest();
        event->accept();
        return;
    }
    QMainWindow::keyReleaseEvent(event);
}
