// Undo and redo of every kind of document change made through the program's commands:
// each step, undone, gives back the document's bytes from before it and, redone, those
// from after it; the Edit menu names the steps; the modified mark follows the saved
// state; windows never keep a muscle that an undo replaced.

#include "KGuiUndoTestSupport.h"
#include "dialogs/KAnatomyDialogs.h"
#include "dialogs/KExportDialogs.h"
#include "dialogs/KLayerDialogs.h"
#include "dialogs/KMuscleDialogs.h"
#include "dialogs/KObjectDialogs.h"
#include "dialogs/KViewToolDialogs.h"
#include "views/KFrameMdl.h"
#include "views/KViewImage.h"
#include "views/KViewMdl.h"

namespace {

struct Step {
    const char* name; // the step's name in the Edit menu
    std::function<void(KUndoFixture&)> act;
};

// Selects the muscle under the UV point with a click.
void select(KUndoFixture& f, double u, double v) {
    f.trigger("toolPointer");
    f.click(f.at(u, v));
}

template <class D>
void fillAs(QDialog& d, const std::function<void(D&)>& fill) {
    if (auto* typed = qobject_cast<D*>(&d)) {
        fill(*typed);
    }
}

// Every kind of change, in an order where each finds what it needs: the first muscle
// at (0.2, 0.3) on layer 0, the second and third on layer 1, an image on layer 2.
const std::vector<Step>& steps() {
    static const std::vector<Step> list = {
        {"Create",
         [](KUndoFixture& f) {
             f.trigger("toolVertical");
             f.drag(f.at(0.4, 0.1), f.at(0.5, 0.4));
         }},
        {"Move",
         [](KUndoFixture& f) {
             select(f, 0.2, 0.3);
             f.drag(f.at(0.2, 0.3), f.at(0.25, 0.35));
         }},
        {"Resize",
         [](KUndoFixture& f) {
             select(f, 0.25, 0.35);
             f.view->viewport()->repaint();
             const QPoint handle = f.view->tracker().handleRect(5).center();
             f.drag(handle, handle + QPoint(6, 0));
         }},
        {"Manual Edit",
         [](KUndoFixture& f) {
             select(f, 0.25, 0.35);
             KFillDialogs fill([](QDialog& d) {
                 fillAs<KMuscleSheet>(d, [](KMuscleSheet& s) {
                     s.general->name->setText(QStringLiteral("renamed"));
                 });
             });
             f.trigger("toolPointer");
             f.view->modifyItem();
         }},
        {"Curve Edit",
         [](KUndoFixture& f) {
             KFrameMdl* editor = f.frame.documents().openItemEditor(f.doc, f.doc->muscleAt(1, 0));
             QVERIFY(editor);
             editor->upperView()->reverseCurve();
         }},
        {"Delete",
         [](KUndoFixture& f) {
             f.frame.mdiArea()->setActiveSubWindow(f.frame.documents().framesOf(f.doc).front());
             select(f, 0.7, 0.25);
             QTest::keyClick(f.view, Qt::Key_Delete);
         }},
        {"Cut",
         [](KUndoFixture& f) {
             select(f, 0.7, 0.6);
             f.trigger("editCut");
         }},
        {"Paste", [](KUndoFixture& f) { f.trigger("editPaste"); }},
        {"Repeat",
         [](KUndoFixture& f) {
             select(f, 0.25, 0.35);
             KFillDialogs fill([](QDialog& d) {
                 fillAs<KRepeatDlg>(d, [](KRepeatDlg& r) {
                     r.copiesEdit->setValue(2);
                     r.offsetUEdit->setValue(0.05);
                 });
             });
             f.view->repeatItem();
         }},
        {"Layer Properties",
         [](KUndoFixture& f) {
             KFillDialogs fill([](QDialog& d) {
                 fillAs<KLayerPropertiesDlg>(
                     d, [](KLayerPropertiesDlg& l) { l.backgroundOnly->setChecked(true); });
             });
             kEditLayerProperties(&f.frame, *f.doc, *f.doc->layerAt(2));
         }},
        {"Define Layers",
         [](KUndoFixture& f) {
             KFillDialogs fill([](QDialog& d) {
                 fillAs<KLayerListDlg>(d, [](KLayerListDlg& l) { l.appendButton->click(); });
             });
             f.trigger("objectDefineLayers");
         }},
        {"Anatomy",
         [](KUndoFixture& f) {
             KFillDialogs fill([](QDialog& d) {
                 fillAs<KAnatPropSheet>(
                     d, [](KAnatPropSheet& s) { s.curvature->active->setChecked(true); });
             });
             f.trigger("itemAnatomy");
         }},
        {"Object Description",
         [](KUndoFixture& f) {
             KFillDialogs fill([](QDialog& d) {
                 fillAs<CObjectDescriptionDlg>(
                     d, [](CObjectDescriptionDlg& o) { o.name->setText(QStringLiteral("hand")); });
             });
             f.trigger("objectDescription");
         }},
        {"Mesh Properties",
         [](KUndoFixture& f) {
             KFillDialogs fill([](QDialog& d) {
                 fillAs<CMeshPropertiesDlg>(d, [](CMeshPropertiesDlg& m) {
                     m.uResolution->setValue(30);
                     m.option->setCurrentIndex(1);
                 });
             });
             f.trigger("objectProperties");
         }},
        {"Image Properties",
         [](KUndoFixture& f) {
             KFillDialogs fill([](QDialog& d) {
                 fillAs<CImagePropertiesDlg>(
                     d, [](CImagePropertiesDlg& i) { i.interpolate->setChecked(true); });
             });
             f.trigger("objectImage");
         }},
        {"Basic Shape Properties",
         [](KUndoFixture& f) {
             KFillDialogs fill([](QDialog& d) {
                 fillAs<CBasicShapeDlg>(d, [](CBasicShapeDlg& b) { b.shear->setValue(0.25); });
             });
             f.trigger("itemShape");
         }},
        {"SuperQuad Properties",
         [](KUndoFixture& f) {
             KFillDialogs fill([](QDialog&) {});
             f.trigger("shapeSuperQuad");
         }},
        {"Base Shape", [](KUndoFixture& f) { f.trigger("shapePlanar"); }},
        {"Import Image",
         [](KUndoFixture& f) {
             static QTemporaryDir dir;
             const QString path = kWriteFlatTga(dir.filePath("import.tga"), 3, 3, 0x404040);
             KFileScript file(path);
             KFillDialogs fill([](QDialog& d) {
                 fillAs<KImportImageDlg>(d, [](KImportImageDlg& i) { i.layers->setCurrentRow(0); });
             });
             f.doc->currentItem = CPexaDoc::ItemFirstLayer;
             kImportTga(&f.frame, *f.doc);
         }},
        {"df3 Options",
         [](KUndoFixture& f) {
             static QTemporaryDir dir;
             KFileScript file(dir.filePath(QStringLiteral("cloud.df3")));
             KFillDialogs fill([](QDialog& d) {
                 fillAs<CDf3OptionsDlg>(d, [](CDf3OptionsDlg& o) { o.sizeX->setValue(12); });
             });
             QVERIFY(f.frame.runExport(KExportCommand::Df3, f.doc));
         }},
        {"Flip Image",
         [](KUndoFixture& f) {
             KViewImage image(*f.doc);
             image.attachedLayer = 3; // layer 2
             image.flipHorizontal();
         }},
    };
    return list;
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void everyStepIsUndoneAndRedoneBitForBit() {
        KUndoFixture f;
        QVERIFY(f.exposed);
        for (const Step& step : steps()) {
            const std::vector<uint8_t> before = f.bytes();
            step.act(f);
            f.settle();
            const QString undoText = QStringLiteral("Undo %1\tCtrl+Z").arg(step.name);
            QVERIFY2(f.text("editUndo") == undoText,
                     qPrintable(step.name + QStringLiteral(": ") + f.text("editUndo")));
            const std::vector<uint8_t> after = f.bytes();
            QVERIFY2(after != before, step.name);

            f.trigger("editUndo");
            QVERIFY2(f.bytes() == before, step.name);
            QCOMPARE(f.text("editRedo"), QStringLiteral("Redo %1\tCtrl+Y").arg(step.name));
            f.trigger("editRedo");
            QVERIFY2(f.bytes() == after, step.name);
        }
        // All of them undone in turn lead back to the model the test started from.
        const int count = f.history->stack().count();
        QCOMPARE(count, int(steps().size()));
        while (f.history->stack().canUndo()) {
            f.trigger("editUndo");
        }
        QVERIFY(!f.doc->isModified());
    }

    void theModifiedMarkFollowsTheSavedState() {
        KUndoFixture f;
        QVERIFY(f.exposed);
        QWidget& window = *f.frame.documents().framesOf(f.doc).front();
        QVERIFY(!f.doc->isModified() && !window.isWindowModified());

        select(f, 0.2, 0.3);
        f.drag(f.at(0.2, 0.3), f.at(0.22, 0.3));
        f.settle();
        QVERIFY(f.doc->isModified() && window.isWindowModified());
        f.trigger("editUndo");
        QVERIFY(!f.doc->isModified() && !window.isWindowModified());
        f.trigger("editRedo");
        QVERIFY(f.doc->isModified());

        // Saved after the move: undoing it marks the document, redoing clears the mark.
        QTemporaryDir dir;
        f.doc->setPathName(dir.filePath("saved.qrz").toStdString());
        QVERIFY(f.frame.documents().saveDocument(f.doc));
        QVERIFY(!f.doc->isModified());
        f.trigger("editUndo");
        QVERIFY(f.doc->isModified());
        f.trigger("editRedo");
        QVERIFY(!f.doc->isModified());

        // A command that reports a change but changes nothing leaves the mark off.
        f.trigger("recalcNow");
        f.settle();
        QVERIFY(!f.doc->isModified());
        QCOMPARE(f.history->stack().count(), 1);
    }

    void menusNameTheStepsAndTheHistoryWindowShowsThem() {
        KUndoFixture f;
        QVERIFY(f.exposed);
        // Nothing to undo or redo yet.
        QVERIFY(!f.frame.action("editUndo")->isEnabled() &&
                !f.frame.action("editRedo")->isEnabled());
        QCOMPARE(f.frame.action("editRedo")->shortcuts(),
                 QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_Y),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));

        // Two changes in one command make one step.
        KFillDialogs fill([](QDialog& d) {
            fillAs<KLayerPropertiesDlg>(
                d, [](KLayerPropertiesDlg& l) { l.backgroundOnly->setChecked(true); });
        });
        kEditLayerProperties(&f.frame, *f.doc, *f.doc->layerAt(2));
        f.doc->documentChanged();
        f.settle();
        QCOMPARE(f.history->stack().count(), 1);
        QCOMPARE(f.text("editUndo"), QStringLiteral("Undo Layer Properties\tCtrl+Z"));
        QVERIFY(f.frame.action("editUndo")->isEnabled());

        // Window > Undo History shows the active document's steps.
        QMenu* windowMenu = kMenuBarMenu(f.frame, QStringLiteral("&Window"));
        QVERIFY(windowMenu);
        emit windowMenu->aboutToShow();
        QAction* show = kFindAction(windowMenu, QStringLiteral("&Undo History"));
        QVERIFY(show);
        show->trigger();
        auto* history = f.frame.findChild<QUndoView*>(QStringLiteral("undoHistoryView"));
        QVERIFY(history && history->isVisible());
        QCOMPARE(history->stack(), &f.history->stack());
        QCOMPARE(history->model()->rowCount(), 2); // the opened state and the step
        QCOMPARE(history->model()->index(1, 0).data().toString(),
                 QStringLiteral("Layer Properties"));
    }

    void windowsLetGoOfMusclesAnUndoReplaces() {
        KUndoFixture f;
        QVERIFY(f.exposed);
        // The item editor shows the second muscle; a second map window selects it too.
        KFrameMdl* editor = f.frame.documents().openItemEditor(f.doc, f.doc->muscleAt(1, 0));
        QVERIFY(editor);
        f.trigger("windowNew");
        CPexaView* second = f.frame.activeView();
        QVERIFY(second != f.view);
        f.frame.mdiArea()->setActiveSubWindow(f.frame.documents().framesOf(f.doc).front());
        select(f, 0.7, 0.25); // the third muscle
        QCOMPARE(f.view->selectedMuscle(), f.doc->muscleAt(1, 1));

        // The second muscle is cut: the editor empties, Undo brings it back in place and
        // the editor and the map show the restored objects, not the old ones.
        select(f, 0.7, 0.6);
        f.trigger("editCut");
        f.settle();
        QCOMPARE(f.doc->layerAt(1)->muscles.size(), size_t(1));
        QVERIFY(!editor->muscle());
        f.trigger("editUndo");
        QCOMPARE(f.doc->layerAt(1)->muscles.size(), size_t(2));
        // The map keeps its selection (the item before the cut one) by position.
        QCOMPARE(f.view->selectedMuscle(), f.doc->muscleAt(0, 0));
        QVERIFY(!editor->muscle()); // it had let go before the undo

        // An editor showing a muscle takes the restored one after an undo.
        editor->editMuscle(f.doc->muscleAt(1, 1));
        const size_t messages = f.ui.messages().size();
        editor->upperView()->reverseCurve();
        f.settle();
        f.trigger("editUndo");
        QCOMPARE(editor->muscle(), f.doc->muscleAt(1, 1));
        QCOMPARE(editor->upperView()->curve(), &f.doc->muscleAt(1, 1)->heightCurve);
        QCOMPARE(f.ui.messages().size(), messages);
        f.view->viewport()->repaint();
        second->viewport()->repaint();
        QCOMPARE(editor->paneTitle(KFrameMdl::PositionPane),
                 QStringLiteral("Exterior Muscles: third"));
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
