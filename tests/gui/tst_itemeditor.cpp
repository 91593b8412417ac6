// The item editor: which curve goes to which pane for each muscle type, the captions,
// the change reports to the document (once per edit, none while loading), the check
// that empties the editor when its muscle was deleted, pane switching, the toolbar and
// position view commands, and opening one editor per document from the main window.
#include <QtTest>

#include <QtWidgets>

#include "KGuiMapTestSupport.h"
#include "KGuiTestSupport.h"
#include "dialogs/KCurveEditDlg.h"
#include "dialogs/KMuscleDialogs.h"
#include "dialogs/KViewToolDialogs.h"
#include "views/KFrameMdl.h"
#include "views/KViewMdl.h"

namespace {

// An item editor on its own document, on the screen; with a muscle type, a muscle "m"
// of that type in layer 0 is loaded. The log sees every update the document sends
// from then on.
struct Editor {
    KTestUi ui; // answers every message and question of the test
    CPexaDoc doc;
    KFrameMdl* frame = new KFrameMdl(doc);
    KFrameMdl& f = *frame;
    KBdlMuscle* m = nullptr;
    KHintLog log;
    explicit Editor(std::optional<int> type = {}) {
        frame->resize(900, 640);
        frame->show();
        QCoreApplication::processEvents();
        if (type) {
            m = kAddMuscle(doc, 0, *type, "m");
            f.editMuscle(m);
        }
        doc.addObserver(&log);
    }
    ~Editor() {
        doc.removeObserver(&log);
        delete frame;
    }
    // How many times the document reported a change of a muscle.
    int reports() const {
        return int(std::count(log.hints.begin(), log.hints.end(), int(CPexaDoc::HintMuscle)));
    }
    static QPoint at(KViewCurve* v, int i) {
        const KVertex& p = v->model().snapshot()[size_t(i)];
        return QPoint(int(p.x), int(p.y));
    }
};

// The bottom strip of a view, where its caption is written.
QImage captionStrip(QWidget* view) {
    const QImage img = view->grab().toImage();
    return img.copy(0, img.height() - 16, img.width(), 16);
}

} // namespace

class TestItemEditor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void panesByMuscleType() {
        Editor e;
        QCOMPARE(e.f.paneTitle(0), QStringLiteral("No Active Muscle..."));
        QVERIFY(!e.f.upperView()->curve());

        // Each type: the curves of the upper and lower profile panes and the direction
        // the position pane draws in.
        using Curve = KBdlCurve KBdlMuscle::*;
        const std::tuple<int, Curve, Curve, int> kinds[] = {
            {KBdlMuscle::Linear, &KBdlMuscle::heightCurve, &KBdlMuscle::crossSection,
             KCurveEditModel::Vertical},
            {KBdlMuscle::Orbital, &KBdlMuscle::crossSection, &KBdlMuscle::heightCurve,
             KCurveEditModel::Horizontal},
            {KBdlMuscle::Point, &KBdlMuscle::heightCurve, &KBdlMuscle::crossSection,
             KCurveEditModel::Horizontal}};
        KBdlMuscle* m = nullptr;
        for (const auto& [type, upper, lower, direction] : kinds) {
            m = kAddMuscle(e.doc, 1, type, "biceps");
            QVERIFY(e.f.editMuscle(m));
            QCOMPARE(e.f.upperView()->curve(), &(m->*upper));
            QCOMPARE(e.f.lowerView()->curve(), &(m->*lower));
            QCOMPARE(e.f.positionView()->pos().drawDirection(), direction);
            QCOMPARE(e.f.positionView()->curve(), &m->center);
            QCOMPARE(e.f.positionView()->caption(), QStringLiteral("Exterior Muscles: biceps"));
        }
        // A compound muscle leaves the profile views as they were; a repeated curve says
        // so in its caption.
        m->heightCurve.repeatCount = 3;
        QVERIFY(e.f.editMuscle(kAddMuscle(e.doc, 2, KBdlMuscle::Compound, "group")));
        QCOMPARE(e.f.upperView()->curve(), &m->heightCurve);
        QCOMPARE(e.f.upperView()->caption(), QStringLiteral("(title: unknown) (r-3)"));

        // A muscle that is not in the document cannot be edited.
        KBdlMuscle stray;
        QVERIFY(!e.f.editMuscle(&stray));
        QCOMPARE(e.ui.messages().back(), std::string("Couldn't reference item for editing"));
    }

    void oneReportPerEdit() {
        Editor e;
        KBdlMuscle* m = kAddMuscle(e.doc, 0, KBdlMuscle::Linear, "m");
        e.doc.setModified(false);
        QVERIFY(e.f.editMuscle(m));
        QVERIFY(e.log.hints.empty()); // loading reports nothing

        // A drag of the height profile's middle point: one report with the muscle.
        KViewCurve* upper = e.f.upperView();
        const QPoint mid = Editor::at(upper, 1);
        QTest::mouseClick(upper, Qt::LeftButton, Qt::NoModifier, mid);
        kDrag(upper, mid, mid + QPoint(0, 30));
        QCOMPARE(e.reports(), 1);
        QVERIFY(e.doc.isModified());
        QVERIFY(m->heightCurve.points()[1].y < 1.0);

        // Keys: an edit reports once, a selection key not at all.
        QTest::keyRelease(upper, Qt::Key_PageUp);
        QCOMPARE(e.reports(), 1);
        QTest::keyRelease(upper, Qt::Key_PageDown);
        QTest::keyRelease(upper, Qt::Key_Insert);
        QCOMPARE(m->heightCurve.count(), 4);
        QCOMPARE(e.reports(), 2);
        // Toolbar: Undo on the active pane, Symmetrical Width on the frame.
        e.f.activatePane(KFrameMdl::UpperPane);
        e.f.updateCommands();
        QVERIFY(e.f.action("mdlUndo")->isEnabled());
        e.f.action("mdlUndo")->trigger();
        QCOMPARE(m->heightCurve.count(), 3);
        QCOMPARE(e.reports(), 3);
        e.f.action("mdlNonSymmetricWidth")->trigger();
        QCOMPARE(m->symmetricWidth, 0);
        QCOMPARE(e.reports(), 4);
        // Every report names the muscle.
        for (size_t i = 0; i < e.log.hints.size(); ++i) {
            QVERIFY(e.log.hints[i] != CPexaDoc::HintMuscle || e.log.objects[i] == m);
        }
    }

    void positionViewEditsAndReports() {
        Editor e(KBdlMuscle::Linear);
        e.m->symmetricWidth = 0;
        QVERIFY(e.f.editMuscle(e.m));
        KViewMdlPos* pos = e.f.positionView();
        KMdlPosModel& pm = pos->pos();
        // Hovering near the Hi edge's middle point makes the Hi curve active.
        const KVertex hiPoint = pm.slotSnapshot(KMdlPosModel::Hi)[1];
        const QPoint hi = QPoint(int(hiPoint.x), int(hiPoint.y));
        QTest::mouseMove(pos, hi + QPoint(2, 2));
        QCOMPARE(pm.activeCurve(), int(KMdlPosModel::Hi));
        QTest::mouseClick(pos, Qt::LeftButton, Qt::NoModifier, hi);
        kDrag(pos, hi, hi + QPoint(20, 0));
        QVERIFY(e.m->widthHi.points()[1].y > 0.1);
        QCOMPARE(e.m->widthLo.points()[1].y, 0.1);
        QCOMPARE(e.reports(), 1);

        // The context menu: High Side Width only for a non-symmetrical width.
        const auto enabled = [&](const char* text) {
            std::unique_ptr<QMenu> menu(pos->createContextMenu(pos));
            return kFindAction(menu.get(), QString::fromLatin1(text))->isEnabled();
        };
        QVERIFY(enabled("&High Side Width..."));
        e.f.action("mdlSymmetricWidth")->trigger();
        QVERIFY(!enabled("&High Side Width..."));
        QCOMPARE(pm.slotCurve(KMdlPosModel::Hi), &e.m->widthLo);

        // Manual edit of the Lo curve through the dialog seam.
        KDialogScript dialogs([](QDialog& d) {
            dynamic_cast<KCurveEditDlg&>(d).points->setPlainText("< 0, 0.2 >, < 1, 0.2 >");
            return int(QDialog::Accepted);
        });
        const int before = e.reports();
        pos->manualEditCurve(KMdlPosModel::Lo);
        QCOMPARE(e.m->widthLo.count(), 2);
        QCOMPARE(e.reports(), before + 1);
    }

    void zoomCommandsLeaveTheMuscleAlone() {
        Editor e(KBdlMuscle::Linear);
        KMdlPosModel& pm = e.f.positionView()->pos();

        // Zoom: "Scaling Options" sets the values and switches the zoom on; the toolbar
        // toggles it and resets it. None of it changes the muscle.
        std::optional<KDialogScript> dialogs(std::in_place, [](QDialog& d) {
            auto& z = dynamic_cast<KScalingOptionsDlg&>(d);
            z.rangeMin->setValue(0.25);
            z.rangeMax->setValue(0.75);
            return int(QDialog::Accepted);
        });
        e.f.action("mdlUserZoom")->trigger();
        QVERIFY(pm.zoomOn());
        QCOMPARE(pm.zoom().rangeMin, 0.25);
        e.f.action("mdlZoomOnOff")->trigger();
        QVERIFY(!pm.zoomOn());
        e.f.action("mdlResetZoom")->trigger();
        QVERIFY(pm.zoom().isDefault());

        // The four scaling commands run the same "Scaling Options" dialog, preset with
        // the current values; OK takes them, switches the zoom on and lays the curves
        // out again; Cancel keeps the zoom as it was.
        for (const char* name : {"mdlMagnifyU", "mdlCompressU", "mdlMagnifyV", "mdlCompressV"}) {
            e.f.action("mdlResetZoom")->trigger();
            const std::vector<KVertex> plain = pm.slotSnapshot(KMdlPosModel::Center);
            KMdlZoom preset{-1, -1, -1, -1};
            bool accept = true;
            dialogs.emplace([&](QDialog& d) {
                auto& z = dynamic_cast<KScalingOptionsDlg&>(d);
                preset = z.zoom();
                z.rangeMin->setValue(0.25);
                z.rangeMax->setValue(accept ? 0.75 : 0.5);
                z.offset->setValue(0.1);
                return int(accept ? QDialog::Accepted : QDialog::Rejected);
            });
            QAction* command = e.f.action(QString::fromLatin1(name));
            command->trigger();
            QVERIFY2(preset.isDefault(), name);
            QVERIFY(pm.zoomOn());
            QCOMPARE(pm.zoom().rangeMax, 0.75);
            QVERIFY2(pm.slotSnapshot(KMdlPosModel::Center) != plain, name);
            accept = false;
            command->trigger();
            QCOMPARE(pm.zoom().rangeMax, 0.75);
        }
        e.f.action("mdlResetZoom")->trigger();
        QCOMPARE(e.reports(), 0);
    }

    void selectAndModifyItemReloadTheEditor() {
        Editor e(KBdlMuscle::Linear);
        // "Select Item..." opens on the muscle shown and loads another without a report.
        KBdlMuscle* other = kAddMuscle(e.doc, 2, KBdlMuscle::Orbital, "other");
        std::pair<int, int> preset;
        std::optional<KDialogScript> dialogs(std::in_place, [&](QDialog& d) {
            auto& select = dynamic_cast<KSelectMdlItemDlg&>(d);
            preset = {select.layerIndex(), select.muscleIndex()};
            select.layers->setCurrentRow(2);
            select.muscles->setCurrentRow(0);
            return int(QDialog::Accepted);
        });
        e.f.selectItem();
        QCOMPARE(preset, std::pair(0, 0));
        QCOMPARE(e.f.muscle(), other);
        QCOMPARE(e.reports(), 0);

        // "Modify Item..." reloads and reports once when the sheet says it changed.
        dialogs.emplace([](QDialog& d) {
            dynamic_cast<KMuscleSheet&>(d)
                .general->type->button(KBdlMuscle::Linear)
                ->setChecked(true);
            return int(QDialog::Accepted);
        });
        e.f.modifyItem();
        QCOMPARE(e.f.positionView()->pos().drawDirection(), int(KCurveEditModel::Vertical));
        QCOMPARE(e.f.upperView()->curve(), &other->heightCurve);
        QCOMPARE(e.reports(), 1);
    }

    void deletedMuscleEmptiesTheEditor() {
        Editor e(KBdlMuscle::Linear);
        kAddMuscle(e.doc, 0, KBdlMuscle::Linear, "b");
        // Deleted as the UV view deletes: removed, then the document changed.
        QVERIFY(e.doc.removeMuscle(e.m));
        e.doc.documentChanged();
        QCOMPARE(e.ui.messages(),
                 std::vector<std::string>{"MDL GUI: internal item reference invalid!"});
        QVERIFY(!e.f.muscle());
        // Nothing more is said, and the editor stays usable.
        e.doc.documentChanged();
        QTest::keyRelease(e.f.upperView(), Qt::Key_Insert);
        e.f.repaintPanes();
        QCoreApplication::processEvents();
        QCOMPARE(e.ui.messages().size(), size_t(1));

        // Without an update from the document (manual recalculation) the next touch of
        // the editor notices.
        KBdlMuscle* b = e.doc.muscleAt(0, 0);
        QVERIFY(e.f.editMuscle(b));
        e.doc.recalcMode = CPexaDoc::RecalcManual;
        QVERIFY(e.doc.removeMuscle(b));
        QTest::keyRelease(e.f.upperView(), Qt::Key_Insert);
        QCOMPARE(e.ui.messages().size(), size_t(2));
        QVERIFY(!e.f.muscle());

        // So does a repaint, before it draws anything; its message follows once events run.
        KBdlMuscle* c = kAddMuscle(e.doc, 0, KBdlMuscle::Linear, "c");
        QVERIFY(e.f.editMuscle(c));
        QVERIFY(e.doc.removeMuscle(c));
        e.f.upperView()->grab();
        QVERIFY(!e.f.muscle());
        QVERIFY(!e.f.upperView()->curve());
        QCOMPARE(e.ui.messages().size(), size_t(2));
        QCoreApplication::processEvents();
        QCOMPARE(e.ui.messages().size(), size_t(3));

        // And a resize (tiling the windows), which lays the points out again.
        KBdlMuscle* d = kAddMuscle(e.doc, 0, KBdlMuscle::Linear, "d");
        QVERIFY(e.f.editMuscle(d));
        QVERIFY(e.doc.removeMuscle(d));
        e.frame->resize(700, 500);
        QVERIFY(!e.f.muscle());
        QVERIFY(!e.f.positionView()->curve());
        QCoreApplication::processEvents();
        QCOMPARE(e.ui.messages().size(), size_t(4));
    }

    // "Set View Size" sizes the frame (or its client area); F9 from any pane writes what
    // the frame shows as a 24-bit TGA, bottom row first.
    void viewSizeAndCapture() {
        Editor e(KBdlMuscle::Linear);
        KDialogScript dialogs([](QDialog& dlg) {
            auto* d = static_cast<KViewSizeDlg*>(&dlg);
            d->includeFrameBox->setChecked(false);
            d->widthEdit->setValue(500);
            d->heightEdit->setValue(300);
            return int(QDialog::Accepted);
        });
        e.f.setViewSize();
        QCOMPARE(e.f.widget()->size(), QSize(500, 300));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("capture.tga"));
        KFileScript files(path);
        QTest::keyRelease(e.f.view3D(), Qt::Key_F9);
        QCOMPARE(files.requests.size(), size_t(1));
        QCOMPARE(kTgaPixelsDiffering(path, e.f.widget()->grab().toImage(), 5), 0);
        QVERIFY(e.ui.messages().empty());
    }

    void paneSwitchingAndCaptions() {
        Editor e(KBdlMuscle::Linear);
        // Tab and Shift+Tab step round the panes, Ctrl with a digit picks one; the key goes
        // to the pane that is active, and the pane active after it.
        const std::tuple<QWidget*, Qt::Key, Qt::KeyboardModifiers, int> keys[] = {
            {e.f.positionView(), Qt::Key_Tab, {}, 1},
            {e.f.upperView(), Qt::Key_3, Qt::ControlModifier, 2},
            {e.f.lowerView(), Qt::Key_Tab, {}, 3},
            {e.f.view3D(), Qt::Key_Tab, {}, 0},
            {e.f.positionView(), Qt::Key_Backtab, Qt::ShiftModifier, 3},
            {e.f.view3D(), Qt::Key_2, Qt::ControlModifier, 1}};
        for (const auto& [pane, key, mods, active] : keys) {
            QTest::keyRelease(pane, key, mods);
            QCOMPARE(e.f.activePane(), active);
        }
        // The active pane's caption is blue, the others' black.
        QVERIFY(kCountColour(captionStrip(e.f.upperView()), Qt::blue) > 0);
        QVERIFY(kCountColour(captionStrip(e.f.lowerView()), Qt::black) > 0);
    }

    void oneEditorPerDocument() {
        KTestUi ui;
        CMainFrame main;
        main.resize(1000, 700);
        QVERIFY(main.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = main.activeDocument();
        KBdlMuscle* a = kAddMuscle(*doc, 0, KBdlMuscle::Linear, "a");
        KBdlMuscle* b = kAddMuscle(*doc, 1, KBdlMuscle::Point, "b");
        KFrameMdl* first = main.documents().openItemEditor(doc, a);
        QVERIFY(first);
        QCOMPARE(first->muscle(), a);
        QCOMPARE(main.documents().openItemEditor(doc, b), first);
        QCOMPARE(first->muscle(), b);
        main.action("windowMdlItem")->trigger();
        const auto windows = main.mdiArea()->subWindowList();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QMdiSubWindow* w) { return qobject_cast<KFrameMdl*>(w); }),
                 1);

        // Another document gets its own; closing a document closes its editor.
        CPexaDoc* other = main.documents().newDocument();
        KFrameMdl* third = main.documents().openItemEditor(other, nullptr);
        QVERIFY(third && third != first);
        // An active editor stands for its own document, whichever UV map was active last.
        main.mdiArea()->setActiveSubWindow(first);
        QCOMPARE(main.activeDocument(), doc);
        main.mdiArea()->setActiveSubWindow(third);
        QCOMPARE(main.activeDocument(), other);
        QVERIFY(main.documents().closeDocument(doc));
        QVERIFY(main.documents().itemEditorOf(other) == third);

        // An editor's message leaves the main status bar with the editor.
        third->positionView()->showMessage(QStringLiteral("(Curve Edit)"));
        QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("(Curve Edit)"));
        QVERIFY(main.documents().closeDocument(other));
        QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("Ready"));
    }

    void editorDialogs() {
        KTestUi ui;
        CPexaDoc doc;
        kAddMuscle(doc, 1, KBdlMuscle::Linear, "first");
        kAddMuscle(doc, 1, KBdlMuscle::Point, "second");
        KSelectMdlItemDlg select(doc, 1, 1);
        QCOMPARE(std::pair(select.layerIndex(), select.muscleIndex()), std::pair(1, 1));
        select.layers->setCurrentRow(0);
        QCOMPARE(select.muscles->count(), 0);
        QCOMPARE(select.muscleIndex(), -1);

        KMdlZoom z;
        z.offset = 0.5;
        KScalingOptionsDlg scaling(z);
        // An empty range or a zero scale would divide by zero: refused, the dialog stays.
        const std::tuple<double, double, int> tries[] = {{0.0, 1.0, QDialog::Rejected},
                                                         {2.0, 0.0, QDialog::Rejected},
                                                         {2.0, 3.0, QDialog::Accepted}};
        for (const auto& [rangeMax, scale, result] : tries) {
            scaling.rangeMax->setValue(rangeMax);
            scaling.scale->setValue(scale);
            scaling.accept();
            QCOMPARE(scaling.result(), result);
        }
        QCOMPARE(ui.messages().size(), size_t(2));
        QCOMPARE(std::pair(scaling.zoom().rangeMax, scaling.zoom().scale), std::pair(2.0, 3.0));

        KCurveEditingPropertiesDlg props(4);
        props.pixels->setValue(20);
        QCOMPARE(props.dragPixels(), 10);

        KCurveEditModel::CurveValues v;
        v.controlString = "< 0, 0.10 >, < 0.50, 0.10 >, < 1.00, 0.10 >";
        KCurveEditDlg curve(v);
        const std::pair<QDialog*, const char*> shots[] = {{&select, "dlg_select_mdl_item"},
                                                          {&scaling, "dlg_scaling_options"},
                                                          {&props, "dlg_curve_editing_properties"},
                                                          {&curve, "dlg_curve_edit_properties"}};
        for (const auto& [dlg, name] : shots) {
            kShowAndSaveScreenshot(*dlg, QString::fromLatin1(name));
        }
    }

    void screenshots() {
        const std::pair<int, const char*> kinds[] = {{KBdlMuscle::Linear, "item_editor_linear"},
                                                     {KBdlMuscle::Orbital, "item_editor_orbital"},
                                                     {KBdlMuscle::Point, "item_editor_point"}};
        for (const auto& [type, file] : kinds) {
            Editor e;
            KBdlMuscle* m = kAddMuscle(e.doc, 1, type, "sample");
            if (type == KBdlMuscle::Linear) {
                m->symmetricWidth = 0;
                m->widthHi.parse("< 0, 0.05 >, < 0.50, 0.15 >, < 1.00, 0.05 >");
                m->center.parse("< 0, 0.40 >, < 0.50, 0.55 >, < 1.00, 0.45 >");
            }
            QVERIFY(e.f.editMuscle(m));
            e.f.positionView()->model().setSelection({1});
            QCoreApplication::processEvents();
            const QImage img = e.f.grab().toImage();
            QVERIFY(kCountColour(img, Qt::red) > 0);
            QVERIFY(kSaveScreenshot(img, QString::fromLatin1(file) + QStringLiteral(".png")));
        }
    }
};

QTEST_MAIN(TestItemEditor)
#include "tst_itemeditor.moc"
