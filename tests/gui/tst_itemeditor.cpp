// The item editor: which curve goes to which pane for each muscle type, the captions,
// the change reports to the document (once per edit, none while loading), the check
// that empties the editor when its muscle was deleted, pane switching, the toolbar and
// position view commands, and opening one editor per document from the main window.
#include <QtTest>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

#include "KGuiTestSupport.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "dialogs/KCurveEditDlg.h"
#include "dialogs/KMuscleDialogs.h"
#include "dialogs/KViewToolDialogs.h"
#include "document/CPexaDoc.h"
#include "image/KImageMapTga.h"
#include "model/KBdlMuscle.h"
#include "views/KFrameMdl.h"
#include "views/KViewMdl.h"

namespace {

struct HintLog : KViewObserver {
    std::vector<std::pair<int, KPersistent*>> hints;
    void onUpdate(int hint, KPersistent* object) override { hints.emplace_back(hint, object); }
    int count(int hint) const {
        int n = 0;
        for (const auto& h : hints) {
            n += h.first == hint;
        }
        return n;
    }
};

KBdlMuscle* addMuscle(CPexaDoc& doc, int layer, int type, const char* name) {
    auto m = std::make_unique<KBdlMuscle>(type);
    m->name = name;
    KBdlMuscle* raw = m.get();
    doc.addMuscleToLayer(doc.layerAt(layer), m);
    return raw;
}

struct Editor {
    CPexaDoc doc;
    KFrameMdl* frame = new KFrameMdl(doc);
    Editor() {
        frame->resize(900, 640);
        frame->show();
        QCoreApplication::processEvents();
    }
    ~Editor() { delete frame; }
    QPoint at(KViewCurve* v, int i) const {
        const KVertex& p = v->model().snapshot()[size_t(i)];
        return QPoint(int(p.x), int(p.y));
    }
};

bool hasColour(const QImage& img, QColor c) {
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixelColor(x, y) == c) {
                return true;
            }
        }
    }
    return false;
}

// The bottom strip of a view, where its caption is written.
QImage captionStrip(QWidget* view) {
    const QImage img = view->grab().toImage();
    return img.copy(0, img.height() - 16, img.width(), 16);
}

void drag(QWidget* w, QPoint from, QPoint to) {
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
}

} // namespace

class TestItemEditor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void panesByMuscleType() {
        KTestUi ui;
        Editor e;
        KFrameMdl& f = *e.frame;
        QCOMPARE(f.paneTitle(0), QStringLiteral("No Active Muscle..."));
        QVERIFY(!f.upperView()->curve());

        KBdlMuscle* linear = addMuscle(e.doc, 0, KBdlMuscle::Linear, "biceps");
        KBdlMuscle* orbital = addMuscle(e.doc, 1, KBdlMuscle::Orbital, "ring");
        KBdlMuscle* point = addMuscle(e.doc, 1, KBdlMuscle::Point, "dot");
        QVERIFY(f.editMuscle(linear));
        QCOMPARE(f.upperView()->curve(), &linear->heightCurve);
        QCOMPARE(f.lowerView()->curve(), &linear->crossSection);
        QCOMPARE(f.positionView()->caption(), QStringLiteral("Bone Surfaces: biceps"));
        QCOMPARE(f.positionView()->pos().drawDirection(), int(KCurveEditModel::Vertical));
        QCOMPARE(f.positionView()->curve(), &linear->center);

        QVERIFY(f.editMuscle(orbital));
        QCOMPARE(f.upperView()->curve(), &orbital->crossSection);
        QCOMPARE(f.lowerView()->curve(), &orbital->heightCurve);
        QCOMPARE(f.positionView()->pos().drawDirection(), int(KCurveEditModel::Horizontal));

        QVERIFY(f.editMuscle(point));
        QCOMPARE(f.upperView()->curve(), &point->heightCurve);
        QCOMPARE(f.lowerView()->curve(), &point->crossSection);
        QCOMPARE(f.positionView()->pos().drawDirection(), int(KCurveEditModel::Horizontal));
        // A repeated curve says so in its caption.
        point->heightCurve.repeatCount = 3;
        QCOMPARE(f.upperView()->caption(), QStringLiteral("Height (r-3)"));

        // A compound muscle leaves the profile views as they were.
        KBdlMuscle* compound = addMuscle(e.doc, 2, KBdlMuscle::Compound, "group");
        QVERIFY(f.editMuscle(compound));
        QCOMPARE(f.upperView()->curve(), &point->heightCurve);
        QCOMPARE(f.upperView()->caption(), QStringLiteral("(title: unknown) (r-3)"));

        // A muscle that is not in the document cannot be edited.
        KBdlMuscle stray;
        QVERIFY(!f.editMuscle(&stray));
        QCOMPARE(ui.messages().back(), std::string("Couldn't reference item for editing"));
    }

    void oneReportPerEdit() {
        Editor e;
        KFrameMdl& f = *e.frame;
        KBdlMuscle* m = addMuscle(e.doc, 0, KBdlMuscle::Linear, "m");
        HintLog log;
        e.doc.addObserver(&log);
        e.doc.setModified(false);
        QVERIFY(f.editMuscle(m));
        QCOMPARE(log.hints.size(), size_t(0)); // loading reports nothing

        // A drag of the height profile's middle point: one report with the muscle.
        KViewCurve* upper = f.upperView();
        const QPoint mid = e.at(upper, 1);
        QTest::mouseClick(upper, Qt::LeftButton, Qt::NoModifier, mid);
        drag(upper, mid, mid + QPoint(0, 30));
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 1);
        QVERIFY(e.doc.isModified());
        QVERIFY(m->heightCurve.points()[1].y < 1.0);

        // Keys: an edit reports once, a selection key not at all.
        QTest::keyRelease(upper, Qt::Key_PageUp);
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 1);
        QTest::keyRelease(upper, Qt::Key_PageDown);
        QTest::keyRelease(upper, Qt::Key_Insert);
        QCOMPARE(m->heightCurve.count(), 4);
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 2);
        // Toolbar: Undo on the active pane, Symmetrical Width on the frame.
        f.activatePane(KFrameMdl::UpperPane);
        f.updateCommands();
        QVERIFY(f.action("mdlUndo")->isEnabled());
        f.action("mdlUndo")->trigger();
        QCOMPARE(m->heightCurve.count(), 3);
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 3);
        f.action("mdlNonSymmetricWidth")->trigger();
        QCOMPARE(m->symmetricWidth, 0);
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 4);
        // Every report names the muscle.
        for (const auto& h : log.hints) {
            QVERIFY(h.first != CPexaDoc::HintMuscle || h.second == m);
        }
        e.doc.removeObserver(&log);
    }

    void positionViewEditsAndReports() {
        Editor e;
        KFrameMdl& f = *e.frame;
        KBdlMuscle* m = addMuscle(e.doc, 0, KBdlMuscle::Linear, "m");
        m->symmetricWidth = 0;
        QVERIFY(f.editMuscle(m));
        HintLog log;
        e.doc.addObserver(&log);
        KViewMdlPos* pos = f.positionView();
        KMdlPosModel& pm = pos->pos();
        // Hovering near the Hi edge's middle point makes the Hi curve active.
        const QPoint hi = QPoint(int(pm.slotSnapshot(KMdlPosModel::Hi)[1].x),
                                 int(pm.slotSnapshot(KMdlPosModel::Hi)[1].y));
        QTest::mouseMove(pos, hi + QPoint(2, 2));
        QCOMPARE(pm.activeCurve(), int(KMdlPosModel::Hi));
        QTest::mouseClick(pos, Qt::LeftButton, Qt::NoModifier, hi);
        drag(pos, hi, hi + QPoint(20, 0));
        QVERIFY(m->widthHi.points()[1].y > 0.1);
        QCOMPARE(m->widthLo.points()[1].y, 0.1);
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 1);

        // The context menu: High Side Width only for a non-symmetrical width.
        {
            std::unique_ptr<QMenu> menu(pos->createContextMenu(pos));
            QVERIFY(kFindAction(menu.get(), "&High Side Width...")->isEnabled());
            QVERIFY(kFindAction(menu.get(), "Modify &Item...")->isEnabled());
        }
        f.action("mdlSymmetricWidth")->trigger();
        {
            std::unique_ptr<QMenu> menu(pos->createContextMenu(pos));
            QVERIFY(!kFindAction(menu.get(), "&High Side Width...")->isEnabled());
        }
        QCOMPARE(pm.slotCurve(KMdlPosModel::Hi), &m->widthLo);

        // Manual edit of the Lo curve through the dialog seam.
        std::optional<KDialogScript> dialogs(std::in_place, [](QDialog& d) {
            dynamic_cast<KCurveEditDlg&>(d).points->setPlainText("< 0, 0.2 >, < 1, 0.2 >");
            return int(QDialog::Accepted);
        });
        const int before = log.count(CPexaDoc::HintMuscle);
        pos->manualEditCurve(KMdlPosModel::Lo);
        QCOMPARE(m->widthLo.count(), 2);
        QCOMPARE(log.count(CPexaDoc::HintMuscle), before + 1);
        dialogs.reset();
        e.doc.removeObserver(&log);
    }

    void zoomCommandsLeaveTheMuscleAlone() {
        Editor e;
        KFrameMdl& f = *e.frame;
        QVERIFY(f.editMuscle(addMuscle(e.doc, 0, KBdlMuscle::Linear, "m")));
        HintLog log;
        e.doc.addObserver(&log);
        KMdlPosModel& pm = f.positionView()->pos();

        // Zoom: "Scaling Options" sets the values and switches the zoom on; the toolbar
        // toggles it and resets it. None of it changes the muscle.
        std::optional<KDialogScript> dialogs(std::in_place, [](QDialog& d) {
            auto& z = dynamic_cast<KScalingOptionsDlg&>(d);
            z.rangeMin->setValue(0.25);
            z.rangeMax->setValue(0.75);
            return int(QDialog::Accepted);
        });
        f.action("mdlUserZoom")->trigger();
        QVERIFY(pm.zoomOn());
        QCOMPARE(pm.zoom().rangeMin, 0.25);
        f.action("mdlZoomOnOff")->trigger();
        QVERIFY(!pm.zoomOn());
        f.action("mdlResetZoom")->trigger();
        QVERIFY(pm.zoom().isDefault());
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 0);

        // The four scaling commands run the same "Scaling Options" dialog, preset with
        // the current values; OK takes them, switches the zoom on and lays the curves
        // out again.
        for (const char* name : {"mdlMagnifyU", "mdlCompressU", "mdlMagnifyV", "mdlCompressV"}) {
            f.action("mdlResetZoom")->trigger();
            const std::vector<KVertex> plain = pm.slotSnapshot(KMdlPosModel::Center);
            KMdlZoom preset{-1, -1, -1, -1};
            dialogs.emplace([&preset](QDialog& d) {
                auto& z = dynamic_cast<KScalingOptionsDlg&>(d);
                preset = z.zoom();
                z.rangeMin->setValue(0.25);
                z.rangeMax->setValue(0.75);
                z.offset->setValue(0.1);
                return int(QDialog::Accepted);
            });
            QAction* command = f.action(QString::fromLatin1(name));
            command->trigger();
            QVERIFY2(preset.isDefault(), name);
            QVERIFY(pm.zoomOn());
            QCOMPARE(pm.zoom().rangeMax, 0.75);
            QVERIFY2(pm.slotSnapshot(KMdlPosModel::Center) != plain, name);
            // Cancel keeps the zoom as it was.
            dialogs.emplace([](QDialog& d) {
                dynamic_cast<KScalingOptionsDlg&>(d).rangeMax->setValue(0.5);
                return int(QDialog::Rejected);
            });
            command->trigger();
            QCOMPARE(pm.zoom().rangeMax, 0.75);
        }
        f.action("mdlResetZoom")->trigger();
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 0);
        dialogs.reset();
        e.doc.removeObserver(&log);
    }

    void selectAndModifyItemReloadTheEditor() {
        Editor e;
        KFrameMdl& f = *e.frame;
        QVERIFY(f.editMuscle(addMuscle(e.doc, 0, KBdlMuscle::Linear, "m")));
        HintLog log;
        e.doc.addObserver(&log);
        std::optional<KDialogScript> dialogs;

        // "Select Item..." loads another muscle without a report.
        KBdlMuscle* other = addMuscle(e.doc, 2, KBdlMuscle::Orbital, "other");
        int presetLayer = -1;
        int presetIndex = -1;
        dialogs.emplace([&](QDialog& d) {
            auto& select = dynamic_cast<KSelectMdlItemDlg&>(d);
            presetLayer = select.layerIndex();
            presetIndex = select.muscleIndex();
            select.layers->setCurrentRow(2);
            select.muscles->setCurrentRow(0);
            return int(QDialog::Accepted);
        });
        f.selectItem();
        QCOMPARE(presetLayer, 0);
        QCOMPARE(presetIndex, 0);
        QCOMPARE(f.muscle(), other);
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 0);

        // "Modify Item..." reloads and reports once when the sheet says it changed.
        dialogs.emplace([](QDialog& d) {
            dynamic_cast<KMuscleSheet&>(d)
                .general->type->button(KBdlMuscle::Linear)
                ->setChecked(true);
            return int(QDialog::Accepted);
        });
        f.modifyItem();
        QCOMPARE(f.positionView()->pos().drawDirection(), int(KCurveEditModel::Vertical));
        QCOMPARE(f.upperView()->curve(), &other->heightCurve);
        QCOMPARE(log.count(CPexaDoc::HintMuscle), 1);
        dialogs.reset();
        e.doc.removeObserver(&log);
    }

    void deletedMuscleEmptiesTheEditor() {
        KTestUi ui;
        Editor e;
        KFrameMdl& f = *e.frame;
        KBdlMuscle* a = addMuscle(e.doc, 0, KBdlMuscle::Linear, "a");
        addMuscle(e.doc, 0, KBdlMuscle::Linear, "b");
        QVERIFY(f.editMuscle(a));
        // Deleted as the UV view deletes: removed, then the document changed.
        QVERIFY(e.doc.removeMuscle(a));
        e.doc.documentChanged();
        QCOMPARE(ui.messages().size(), size_t(1));
        QCOMPARE(ui.messages()[0], std::string("MDL GUI: internal item reference invalid!"));
        QVERIFY(!f.muscle());
        // Nothing more is said, and the editor stays usable.
        e.doc.documentChanged();
        QTest::keyRelease(f.upperView(), Qt::Key_Insert);
        f.repaintPanes();
        QCoreApplication::processEvents();
        QCOMPARE(ui.messages().size(), size_t(1));

        // Without an update from the document (manual recalculation) the next touch of
        // the editor notices.
        KBdlMuscle* b = e.doc.muscleAt(0, 0);
        QVERIFY(f.editMuscle(b));
        e.doc.recalcMode = CPexaDoc::RecalcManual;
        QVERIFY(e.doc.removeMuscle(b));
        QTest::keyRelease(f.upperView(), Qt::Key_Insert);
        QCOMPARE(ui.messages().size(), size_t(2));
        QVERIFY(!f.muscle());

        // So does a repaint, before it draws anything; its message follows once events run.
        KBdlMuscle* c = addMuscle(e.doc, 0, KBdlMuscle::Linear, "c");
        QVERIFY(f.editMuscle(c));
        QVERIFY(e.doc.removeMuscle(c));
        f.upperView()->grab();
        QVERIFY(!f.muscle());
        QVERIFY(!f.upperView()->curve());
        QCOMPARE(ui.messages().size(), size_t(2));
        QCoreApplication::processEvents();
        QCOMPARE(ui.messages().size(), size_t(3));
    }

    // "Set View Size" sizes the frame (or its client area); F9 from any pane writes what
    // the frame shows as a 24-bit TGA, bottom row first.
    void viewSizeAndCapture() {
        KTestUi ui;
        Editor e;
        KFrameMdl& f = *e.frame;
        QVERIFY(f.editMuscle(addMuscle(e.doc, 0, KBdlMuscle::Linear, "m")));
        KDialogScript dialogs([](QDialog& dlg) {
            auto* d = static_cast<KViewSizeDlg*>(&dlg);
            d->includeFrameBox->setChecked(false);
            d->widthEdit->setValue(500);
            d->heightEdit->setValue(300);
            return int(QDialog::Accepted);
        });
        f.setViewSize();
        QCOMPARE(f.widget()->size(), QSize(500, 300));

        const QString path = QDir(QStringLiteral(QUORL_TEST_BINARY_DIR))
                                 .filePath(QStringLiteral("itemeditor-capture-%1.tga")
                                               .arg(QCoreApplication::applicationPid()));
        QFile::remove(path);
        int asked = 0;
        KFileScript files([&](const KFileRequest& request) {
            ++asked;
            return request.save && request.filter == QLatin1String("TGA Files (*.tga)") &&
                           request.initialName == QLatin1String("untitled.tga")
                       ? path
                       : QString();
        });
        QTest::keyRelease(f.view3D(), Qt::Key_F9);
        QCOMPARE(asked, 1);
        // The file holds the client area bottom row first, pixels blue, green, red.
        const QImage shown = f.widget()->grab().toImage();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 18 + 500 * 300 * 3);
        int differing = 0;
        for (int y = 0; y < 300; y += 7) {
            for (int x = 0; x < 500; x += 5) {
                const QRgb c = shown.pixel(x, y);
                const auto* px = reinterpret_cast<const uchar*>(bytes.constData()) + 18 +
                                 ((299 - y) * 500 + x) * 3;
                differing += px[0] != qBlue(c) || px[1] != qGreen(c) || px[2] != qRed(c);
            }
        }
        QCOMPARE(differing, 0);
        file.close();
        QFile::remove(path);
        QVERIFY(ui.messages().empty());
    }

    void paneSwitchingAndCaptions() {
        KTestUi ui;
        Editor e;
        KFrameMdl& f = *e.frame;
        KBdlMuscle* m = addMuscle(e.doc, 0, KBdlMuscle::Linear, "m");
        QVERIFY(f.editMuscle(m));
        QTest::keyRelease(f.positionView(), Qt::Key_Tab);
        QCOMPARE(f.activePane(), 1);
        QTest::keyRelease(f.upperView(), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(f.activePane(), 2);
        QTest::keyRelease(f.lowerView(), Qt::Key_Tab);
        QCOMPARE(f.activePane(), 3);
        QTest::keyRelease(f.view3D(), Qt::Key_Tab);
        QCOMPARE(f.activePane(), 0);
        QTest::keyRelease(f.positionView(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(f.activePane(), 3);
        QTest::keyRelease(f.view3D(), Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(f.activePane(), 1);

        // The active pane's caption is blue, the others' black.
        const QImage upper = captionStrip(f.upperView());
        QVERIFY(hasColour(upper, Qt::blue));
        const QImage lower = captionStrip(f.lowerView());
        QVERIFY(hasColour(lower, Qt::black));

        // Keys that are not there yet say so, with the pane's caption and the key number.
        QTest::keyRelease(f.upperView(), Qt::Key_Space);
        QTest::keyRelease(f.positionView(), Qt::Key_Left);
        QCOMPARE(ui.messages().size(), size_t(2));
        QCOMPARE(ui.messages()[0], std::string("Keyboard Feature NYA:\nHeight: 32"));
        QCOMPARE(ui.messages()[1], std::string("Keyboard Feature NYA:\nBone Surfaces: m: 37"));
    }

    void oneEditorPerDocument() {
        KTestUi ui;
        CMainFrame main;
        main.resize(1000, 700);
        QVERIFY(main.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = main.activeDocument();
        KBdlMuscle* a = addMuscle(*doc, 0, KBdlMuscle::Linear, "a");
        KBdlMuscle* b = addMuscle(*doc, 1, KBdlMuscle::Point, "b");
        KFrameMdl* first = main.documents().openItemEditor(doc, a);
        QVERIFY(first);
        QCOMPARE(first->muscle(), a);
        KFrameMdl* second = main.documents().openItemEditor(doc, b);
        QCOMPARE(second, first);
        QCOMPARE(first->muscle(), b);
        main.action("windowMdlItem")->trigger();
        int editors = 0;
        for (QMdiSubWindow* w : main.mdiArea()->subWindowList()) {
            editors += qobject_cast<KFrameMdl*>(w) != nullptr;
        }
        QCOMPARE(editors, 1);

        // Another document gets its own; closing a document closes its editor.
        CPexaDoc* other = main.documents().newDocument();
        KFrameMdl* third = main.documents().openItemEditor(other, nullptr);
        QVERIFY(third && third != first);
        // An active editor stands for its own document, whichever UV map was active last.
        main.mdiArea()->setActiveSubWindow(first);
        QCOMPARE(main.activeDocument(), doc);
        main.mdiArea()->setActiveSubWindow(third);
        QCOMPARE(main.activeDocument(), other);
        QPointer<KFrameMdl> alive(first);
        QVERIFY(main.documents().closeDocument(doc));
        QVERIFY(alive.isNull());
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
        addMuscle(doc, 1, KBdlMuscle::Linear, "first");
        addMuscle(doc, 1, KBdlMuscle::Point, "second");
        KSelectMdlItemDlg select(doc, 1, 1);
        QCOMPARE(select.layerIndex(), 1);
        QCOMPARE(select.muscleIndex(), 1);
        select.layers->setCurrentRow(0);
        QCOMPARE(select.muscles->count(), 0);
        QCOMPARE(select.muscleIndex(), -1);

        KMdlZoom z;
        z.offset = 0.5;
        KScalingOptionsDlg scaling(z);
        // An empty range or a zero scale would divide by zero: refused, the dialog stays.
        scaling.rangeMax->setValue(0.0);
        scaling.accept();
        QCOMPARE(scaling.result(), int(QDialog::Rejected));
        scaling.rangeMax->setValue(2.0);
        scaling.scale->setValue(0.0);
        scaling.accept();
        QCOMPARE(scaling.result(), int(QDialog::Rejected));
        QCOMPARE(ui.messages().size(), size_t(2));
        scaling.scale->setValue(3.0);
        scaling.accept();
        QCOMPARE(scaling.result(), int(QDialog::Accepted));
        QCOMPARE(scaling.zoom().rangeMax, 2.0);
        QCOMPARE(scaling.zoom().scale, 3.0);

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
        const struct {
            int type;
            const char* file;
        } kinds[] = {{KBdlMuscle::Linear, "item_editor_linear"},
                     {KBdlMuscle::Orbital, "item_editor_orbital"},
                     {KBdlMuscle::Point, "item_editor_point"}};
        for (const auto& k : kinds) {
            Editor e;
            KBdlMuscle* m = addMuscle(e.doc, 1, k.type, "sample");
            if (k.type == KBdlMuscle::Linear) {
                m->symmetricWidth = 0;
                m->widthHi.parse("< 0, 0.05 >, < 0.50, 0.15 >, < 1.00, 0.05 >");
                m->center.parse("< 0, 0.40 >, < 0.50, 0.55 >, < 1.00, 0.45 >");
            }
            QVERIFY(e.frame->editMuscle(m));
            e.frame->positionView()->model().setSelection({1});
            QCoreApplication::processEvents();
            const QImage img = e.frame->grab().toImage();
            QVERIFY(hasColour(img, Qt::red));
            QVERIFY(kSaveScreenshot(img, QString::fromLatin1(k.file) + QStringLiteral(".png")));
        }
    }
};

QTEST_MAIN(TestItemEditor)
#include "tst_itemeditor.moc"
