// The 3D preview's logic that needs no OpenGL context: camera and projection, the mouse
// rules, animation, the stored settings, lights, the anti-aliasing jitter and sum, the
// capture series and its files, the background image rules and the preview's dialogs.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <cmath>

#include "KGuiTestSupport.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KChildFrames.h"
#include "dialogs/KPreviewDialogs.h"
#include "document/CPexaDoc.h"
#include "image/KImageMapTga.h"
#include "platform/KFile.h"
#include "preview/KView3D.h"
#include "scene/KAccumBuffer.h"
#include "scene/KCaptureSeries.h"
#include "scene/KOglLightSrc.h"
#include "scene/KPreviewBackground.h"
#include "scene/KPreviewCamera.h"

namespace {

KPreviewCamera::MouseInput drag(int x, int y) {
    KPreviewCamera::MouseInput in;
    in.x = x;
    in.y = y;
    in.dragging = true;
    return in;
}

bool near(double a, double b, double eps = 1e-6) {
    return std::fabs(a - b) < eps;
}

// A TGA file of the given size in one colour.
QString writeTga(const QString& path, int w, int h, uint32_t color) {
    KImageMapTga image;
    image.setFormat(24, KImageMap::OptionGray24);
    image.resize(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setColor(x, y, color);
        }
    }
    image.save(path.toStdString());
    return path;
}

// The questions about an image's dimensions (loading also asks the pixel depth).
std::vector<std::string> dimensionQuestions(const KScriptedUi& ui) {
    std::vector<std::string> out;
    for (const std::string& q : ui.questions()) {
        if (q.rfind("This image map", 0) == 0) {
            out.push_back(q);
        }
    }
    return out;
}

// Runs the preview's dialogs through runner (true for OK) for one scope.
class RunnerScope {
public:
    explicit RunnerScope(std::function<bool(QDialog&)> runner)
        : script_([runner = std::move(runner)](QDialog& d) {
              return runner(d) ? int(QDialog::Accepted) : int(QDialog::Rejected);
          }) {}

private:
    KDialogScript script_;
};

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() {
        kUseTestSettings();
        QVERIFY(dir_.isValid());
    }

    void orthographicBoxFollowsTheClientShape() {
        KPreviewCamera c;
        QVERIFY(c.resize(300, 200));
        QCOMPARE(c.orthoLeft, -1.5f);
        QCOMPARE(c.orthoBottom, -1.0f);
        QVERIFY(c.resize(200, 300));
        QCOMPARE(c.orthoLeft, -1.0f);
        QCOMPARE(c.orthoBottom, -1.5f);
        // A window without height keeps the previous box.
        QVERIFY(!c.resize(200, 0));
        QCOMPARE(c.orthoTop, 1.5f);
    }

    void mouseDragsTurnAndMove() {
        KPreviewCamera c;
        c.startDrag(100, 100);
        QCOMPARE(c.mouseMove(drag(105, 102)), std::string());
        QCOMPARE(c.rotate[1], -5.0f);
        QCOMPARE(c.rotate[0], -2.0f);

        // Shift: about z by the larger movement (dy = -4 upwards).
        KPreviewCamera s;
        s.startDrag(50, 50);
        auto up = drag(50, 46);
        up.shift = true;
        QCOMPARE(s.mouseMove(up), std::string());
        QCOMPARE(s.rotate[2], 4.0f);
        // The middle button does the same.
        auto mid = drag(50, 49);
        mid.middle = true;
        s.mouseMove(mid);
        QCOMPARE(s.rotate[2], 1.0f); // amount dy = 3

        // Control pans: x for a horizontal drag, y for a vertical one.
        KPreviewCamera p;
        p.startDrag(0, 0);
        auto right = drag(10, 0);
        right.control = true;
        QCOMPARE(p.mouseMove(right), std::string("Panning in X"));
        QVERIFY(near(p.translate[0], 0.1));
        auto down = drag(10, 20);
        down.control = true;
        QCOMPARE(p.mouseMove(down), std::string("Panning in Y"));
        QVERIFY(near(p.translate[1], -0.2));
        // The Pan tool pans without control; with shift it moves along z.
        p.tool = KPreviewCamera::Pan;
        auto deep = drag(10, 25);
        deep.shift = true;
        QCOMPARE(p.mouseMove(deep), std::string("Panning in Z"));
        QVERIFY(near(p.translate[2], -0.05));
        // A drag that does not move counts as one.
        p.tool = KPreviewCamera::Pan;
        QCOMPARE(p.mouseMove(drag(10, 25)), std::string("Panning in X"));
        QVERIFY(near(p.translate[0], 0.11));

        // Without a button held nothing changes.
        KPreviewCamera idle;
        KPreviewCamera::MouseInput move;
        move.x = 30;
        move.y = 40;
        QCOMPARE(idle.mouseMove(move), std::string("Ready"));
        QCOMPARE(idle.rotate[0], 0.0f);
    }

    void matricesMirrorAndProject() {
        KPreviewCamera c;
        c.resize(400, 200);
        // Left handed: +z of the object points away from the viewer.
        const auto far = kTransform(c.modelViewMatrix(0, 0), 0, 0, 1);
        QVERIFY(near(far[2], -c.eyeDistance - 1));
        c.leftHanded = 0;
        const auto nearPoint = kTransform(c.modelViewMatrix(0, 0), 0, 0, 1);
        QVERIFY(near(nearPoint[2], -c.eyeDistance + 1));
        // Turning about y by 90 degrees sends +x to -z right handed, to +z mirrored.
        c.rotate[1] = 90;
        QVERIFY(near(kTransform(c.modelViewMatrix(0, 0), 1, 0, 0)[2], -c.eyeDistance - 1));
        c.leftHanded = 1;
        QVERIFY(near(kTransform(c.modelViewMatrix(0, 0), 1, 0, 0)[2], -c.eyeDistance + 1));
        // Spin frames add to the rotation; the centring offset moves the object first.
        KPreviewCamera spin;
        spin.frame = 9; // 9 x 10 degrees about y
        spin.leftHanded = 0;
        QVERIFY(near(kTransform(spin.modelViewMatrix(0, 0), 1, 0, 0)[2], -spin.eyeDistance - 1));
        QVERIFY(near(kTransform(spin.modelViewMatrix(0, -2), 0, 2, 0)[1], 0));

        // Perspective: a point on the near plane's centre lands at depth -1; the
        // orthographic box maps its corners to the corners of the unit square.
        c.rotate[1] = 0;
        const auto p = kTransform(c.projectionMatrix(), 0, 0, -c.nearPlane);
        QVERIFY(near(p[2] / p[3], -1));
        c.projection = KPreviewCamera::Orthographic;
        const auto corner = kTransform(c.projectionMatrix(), c.orthoRight, c.orthoBottom, -1);
        QVERIFY(near(corner[0], 1));
        QVERIFY(near(corner[1], -1));
    }

    void centringFollowsTheBaseShape() {
        CPexaDoc doc;
        doc.baseShape = CPexaDoc::Planar;
        doc.scalingU = 2;
        doc.scalingV = 4;
        auto o = KPreviewCamera::centringOffset(doc);
        QVERIFY(near(o[0], -1) && near(o[1], -2));
        doc.baseShape = CPexaDoc::Conic;
        const double half = doc.bodyPart.totalLength() * 4 / 2;
        doc.bodyPart.bendsOn = 0;
        o = KPreviewCamera::centringOffset(doc);
        QVERIFY(near(o[0], 0) && near(o[1], -half));
        doc.bodyPart.bendsOn = 1;
        doc.bodyPart.lengths.parse("< 0, 0.5 >, < 0.5, 0.5 >");
        const double bentHalf = doc.bodyPart.totalLength() * 4 / 2;
        o = KPreviewCamera::centringOffset(doc);
        QVERIFY(near(o[1], bentHalf));
        doc.baseShape = CPexaDoc::Spheric;
        o = KPreviewCamera::centringOffset(doc);
        QVERIFY(near(o[0], 0) && near(o[1], 0));
    }

    void animationCommands() {
        CPexaDoc doc;
        KView3D view(doc);
        view.stepFrame();
        QCOMPARE(view.camera.frame, 1);
        view.reverse();
        QCOMPARE(view.camera.frameStep, -1);
        view.stepFrame();
        view.stepFrame();
        QCOMPARE(view.camera.frame, -1);
        view.reverse();
        QCOMPARE(view.camera.frameStep, 1);
        view.toggleSpin();
        QVERIFY(view.camera.animating);
        QVERIFY(view.spinTimerActive());
        view.clearAnimation();
        QCOMPARE(view.camera.frame, 0);
        QVERIFY(!view.camera.animating);
        QVERIFY(!view.spinTimerActive());
        view.camera.translate[0] = 3;
        view.camera.rotate[2] = 40;
        view.camera.scale[1] = 2;
        view.recenter();
        QCOMPARE(view.camera.translate[0], 0.0f);
        QCOMPARE(view.camera.rotate[2], 0.0f);
        QCOMPARE(view.camera.scale[1], 1.0f);
    }

    void spinTicksNeverPileUp() {
        // The view is never drawn here, so the first frame stays pending: every later tick
        // must be dropped instead of advancing the frame.
        CPexaDoc doc;
        KView3D view(doc);
        view.camera.delay = 1;
        view.toggleSpin();
        QTest::qWait(60);
        QCOMPARE(view.camera.frame, 1);
        view.deactivated();
        QVERIFY(!view.spinTimerActive());
        view.activated();
        QVERIFY(view.spinTimerActive());
    }

    void settingsTravelWithTheDocument() {
        CPexaDoc doc;
        doc.preview.rotate[1] = 30;
        doc.preview.delay = 40;
        doc.preview.projection = 1;
        doc.preview.fieldOfView = 60;
        doc.previewShadingType = 1;
        doc.previewLayerMode = 1;
        doc.previewLayers = {0, 2};
        KView3D view(doc);
        view.initialUpdate();
        QCOMPARE(view.camera.rotate[1], 30.0f);
        QCOMPARE(view.camera.projection, 1);
        QCOMPARE(view.camera.shadingType, 1);
        QCOMPARE(view.camera.selectedLayers, (std::vector<int32_t>{0, 2}));

        // Hint 4 (about to be stored) writes the view's state back.
        view.camera.translate[2] = 1.5f;
        view.camera.spin[0] = 3;
        doc.updateAllViews(CPexaDoc::HintStoring);
        QCOMPARE(doc.preview.translate[2], 1.5f);
        QCOMPARE(doc.preview.spin[0], 3.0f);
        // A shading change is written at once.
        view.setShadingType(2);
        QCOMPARE(doc.previewShadingType, 2);

        // An out-of-range stored shading type falls back to Smooth.
        CPexaDoc odd;
        odd.previewShadingType = 9;
        KView3D oddView(odd);
        oddView.initialUpdate();
        QCOMPARE(oddView.camera.shadingType, 3);
        // A right-handed document gets unmirrored lights.
        CPexaDoc right;
        right.preview.leftHanded = 0;
        KView3D rightView(right);
        rightView.initialUpdate();
        QCOMPARE(rightView.lights.lights[0].position[2], 1.0f);
        QCOMPARE(rightView.lights.glPosition(0)[2], 1.0f);
    }

    void lightCopyKeepsSpotAttenuationAndName() {
        KOglLightSrc source;
        source.setSpotCutoff(45, 2);
        source.setAttenuation(2, 3, 4);
        source.name = "key";
        KOglLightSrc copy;
        copy.copyFrom(source);
        QCOMPARE(copy.spotCutoff, 45.0f);
        QCOMPARE(copy.quadraticAttenuation, 4.0f);
        QCOMPARE(copy.name, std::string("key"));
    }

    void lightPromptClampsTheId() {
        CPexaDoc doc;
        KView3D view(doc);
        for (const auto& [typed, edited] : {std::pair{12, 7}, std::pair{-3, 0}, std::pair{4, 4}}) {
            view.lights = KPreviewLights();
            int prompts = 0;
            RunnerScope scope([&](QDialog& d) {
                if (auto* prompt = qobject_cast<CIntegerPromptDlg*>(&d)) {
                    ++prompts;
                    prompt->edit->setText(QString::number(typed));
                    return true;
                }
                auto* light = qobject_cast<CLightSourceDlg*>(&d);
                if (!light) {
                    return false;
                }
                light->active->setChecked(true);
                light->position[0]->setValue(2);
                light->colors[1]->setColor(QColor(255, 0, 51));
                light->alpha[1]->setValue(0.5);
                return true;
            });
            view.editLight();
            QCOMPARE(prompts, 1);
            QCOMPARE(view.lights.lastLightId, edited);
            const KOglLightSrc& l = view.lights.lights[size_t(edited)];
            QCOMPARE(l.active, 1);
            QCOMPARE(l.position[0], 2.0f);
            QCOMPARE(l.diffuse, (KOglLightSrc::Vec4{1, 0, 0.2f, 0.5f}));
        }
        // Cancel in the light dialog changes nothing.
        view.lights = KPreviewLights();
        RunnerScope cancel([](QDialog& d) {
            if (auto* light = qobject_cast<CLightSourceDlg*>(&d)) {
                light->active->setChecked(true);
                return false;
            }
            return true;
        });
        view.editLight();
        QCOMPARE(view.lights.lights[0].active, 1);
        QCOMPARE(view.lights.lights[0].position[0], 0.0f);
    }

    void sceneLightingDialog() {
        KPreviewLights l;
        CSceneLightingDlg dlg(l);
        dlg.twoSided->setChecked(true);
        dlg.ambient->setChecked(false);
        dlg.apply(l);
        QCOMPARE(l.twoSided, 1);
        QCOMPARE(l.ambientOn, 0);
        QCOMPARE(l.ambientColor[0], 0.2); // colour not changed: kept exactly
        dlg.color->setColor(QColor(255, 0, 0));
        dlg.apply(l);
        QCOMPARE(l.ambientColor[0], 1.0);
        QCOMPARE(l.ambientColor[3], 1.0);
    }

    void jitterSequenceAndPasses() {
        QCOMPARE(KRenderOptions::jitter(1), (std::array<double, 2>{0.5625, 0.4375}));
        QCOMPARE(KRenderOptions::jitter(8), (std::array<double, 2>{0.1875, 0.3125}));
        QCOMPARE(KRenderOptions::jitter(16), (std::array<double, 2>{0.8333333333, 0.7222222222}));
        QCOMPARE(KRenderOptions::jitter(17), (std::array<double, 2>{0.8333333333, 0.0555555555}));
        KRenderOptions o;
        o.passes = 4;
        const auto shift = o.passOffset(1, 400, 300);
        QCOMPARE(shift[0], 2 * 0.5625 / 400);
        QCOMPARE(shift[1], 2 * 0.4375 / 300);
        o.jitterScale = 2;
        QCOMPARE(o.passOffset(1, 400, 300)[0], 2 * 2 * 0.5625 / 400);
        QCOMPARE(KRenderOptions::parsePasses("12"), 12);
        QCOMPARE(KRenderOptions::parsePasses("x"), 0);
        o.passes = 99;
        QCOMPARE(o.passCount(), 17);
        o.passes = 16;

        CRenderOptionsDlg dlg(o);
        QCOMPARE(dlg.passes->currentText(), QStringLiteral("16"));
        dlg.passes->setEditText(QStringLiteral("123"));
        QCOMPARE(dlg.passes->currentText(), QStringLiteral("12")); // two characters at most
        dlg.antiAliasing->setChecked(true);
        dlg.scale->setValue(0.5);
        dlg.apply(o);
        QVERIFY(o.antiAliasing);
        QCOMPARE(o.passes, 12);
        QCOMPARE(o.jitterScale, 0.5);
    }

    void accumulationAveragesThePasses() {
        KAccumBuffer acc;
        acc.clear(1, 1);
        const uint8_t white[4] = {255, 255, 255, 255};
        const uint8_t black[4] = {0, 0, 0, 0};
        const uint8_t grey[4] = {51, 102, 153, 255};
        acc.add(white, 0.25);
        acc.add(black, 0.25);
        acc.add(grey, 0.25);
        acc.add(grey, 0.25);
        const auto r = acc.result();
        QVERIFY(near(r[0], (255 + 0 + 51 + 51) / 4.0 / 255, 1e-5));
        QVERIFY(near(r[2], (255 + 0 + 153 + 153) / 4.0 / 255, 1e-5));
        // Values are clamped to [0, 1] when returned.
        acc.add(white, 1.0);
        QCOMPARE(acc.result()[0], 1.0f);
    }

    void captureSeriesNamesAndRange() {
        KCaptureSeries s;
        QCOMPARE(s.nextFileName(), std::string("anim000.tga"));
        for (int i = 0; i < 12; ++i) {
            QVERIFY(!s.advance());
        }
        QCOMPARE(s.nextFileName(), std::string("anim012.tga"));
        QCOMPARE(s.frameStatus(), std::string("Frame 12 of [0 to 12]"));
        QVERIFY(s.advance()); // the thirteenth capture ends the range
        s.applyEndChoice(KCaptureSeries::IncrementRange);
        QCOMPARE(s.startFrame, 13);
        QCOMPARE(s.lastFrame, 25);
        s.current = 5;
        s.applyEndChoice(KCaptureSeries::ResetCurrent);
        s.current = 4;
        s.applyEndChoice(KCaptureSeries::EditCounters);
        QCOMPARE(s.current, 4);
        // Past 999 the number widens instead of reusing anim000.tga.
        s.path = "/tmp/x/";
        s.startFrame = 1000;
        s.current = 0;
        QCOMPARE(s.nextFileName(), std::string("/tmp/x/anim1000.tga"));
        s.startFrame = 999;

        s.setFromChosenFile("/data/frames/walk.tga");
        QCOMPARE(s.path, std::string("/data/frames/"));
        QCOMPARE(s.fileRoot, std::string("walk"));
        QCOMPARE(KCaptureSeries::checkOptions(5, 4, 5),
                 std::string("The Last frame must be greater then the Start Frame!"));
        QCOMPARE(KCaptureSeries::checkOptions(0, 12, 13),
                 std::string("The Current frame must be between the Start and Last Frame's!"));
    }

    void capturedImagesAreStoredBottomUp() {
        // Two rows: top red, bottom blue (RGBA, top row first).
        const uint8_t pixels[] = {255, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255};
        auto image = kCaptureImage(pixels, 2, 2, 8);
        QVERIFY(image);
        const QString path = dir_.filePath(QStringLiteral("frame.tga"));
        QCOMPARE(image->save(path.toStdString()), int(KImageMapTga::SaveOk));
        std::vector<uint8_t> bytes;
        std::string error;
        QVERIFY(kReadFile(path.toStdString(), bytes, &error));
        QCOMPARE(int(bytes.size()), 18 + 4 * 3);
        QCOMPARE(int(bytes[17]), 0); // descriptor: bottom row first
        // First stored pixel: the bottom row, blue (stored blue, green, red).
        QCOMPARE(int(bytes[18]), 255);
        // Last stored pixel: the top row, red.
        QCOMPARE(int(bytes[29]), 255);
        QVERIFY(!kCaptureImage(pixels, 0, 2, 8));
    }

    void backgroundImageRules() {
        QVERIFY(KPreviewBackground::isPowerOfTwo(2));
        QVERIFY(!KPreviewBackground::isPowerOfTwo(1));
        QVERIFY(!KPreviewBackground::isPowerOfTwo(100));

        KTestUi ui;
        KPreviewBackground b;
        b.mode = KPreviewBackground::On;
        b.file = writeTga(dir_.filePath("wide.tga"), 256, 128, 0x0000FF).toStdString();
        // The display colours follow the pixel depth asked after loading: here as stored.
        ui.answerPixelDepth(KImageMap::OptionRgb);
        QVERIFY(b.load());
        QVERIFY(dimensionQuestions(ui).empty());
        QCOMPARE(b.pixels.size(), size_t(256 * 128 * 3));
        QCOMPARE(int(b.pixels[0]), 255); // red first

        // Not a power of two: asked; Cancel drops the image.
        b.file = writeTga(dir_.filePath("square.tga"), 100, 100, 0x00FF00).toStdString();
        ui.answer(false);
        QVERIFY(!b.load());
        QCOMPARE(dimensionQuestions(ui).size(), size_t(1));
        QVERIFY(QString::fromStdString(dimensionQuestions(ui)[0])
                    .startsWith("This image map has the wrong dimensions (100 x 100)\nTo display "
                                "as a background textured plane?\n\nDo you wish"));
        // OK makes it a pixel map.
        ui.answer(true);
        QVERIFY(b.load());
        QCOMPARE(b.usePixelMap, 1);
        // Already a pixel map: not asked again.
        b.file = writeTga(dir_.filePath("thin.tga"), 1, 256, 0).toStdString();
        QVERIFY(b.load());
        QCOMPARE(dimensionQuestions(ui).size(), size_t(2));
        b.usePixelMap = 0;
        ui.answer(false);
        QVERIFY(!b.load());
        QCOMPARE(dimensionQuestions(ui).size(), size_t(3));

        // A file that cannot be read is reported and switches the background off.
        b.file = dir_.filePath("missing.tga").toStdString();
        b.mode = KPreviewBackground::On;
        QVERIFY(!b.load());
        QCOMPARE(b.mode, int(KPreviewBackground::Off));
        QCOMPARE(ui.messages().back(), std::string("Import of TGA texture map failed!"));
    }

    void backgroundDialog() {
        KPreviewBackground b;
        CPreviewBackgroundDlg dlg(b, QColor(0, 0, 0));
        dlg.fileChosen(QStringLiteral("/x/y.tga"));
        QVERIFY(dlg.mode[KPreviewBackground::On]->isChecked());
        dlg.coverageX->setValue(0);
        QCOMPARE(dlg.coverageX->value(), 1);
        dlg.coverageY->setValue(50);
        QColor c;
        dlg.apply(b, c);
        QCOMPARE(b.file, std::string("/x/y.tga"));
        QCOMPARE(b.mode, int(KPreviewBackground::On));
        QCOMPARE(b.coverageX, 1);
        QCOMPARE(b.coverageY, 50);
    }

    void propertiesDialog() {
        CPexaDoc doc;
        KView3D view(doc);
        view.camera.frame = 7;
        CPreviewPropertiesDlg probe(view.camera, QColor(), QColor());
        probe.orthographic->setChecked(true);
        QVERIFY(!probe.fov->isEnabled());
        QVERIFY(probe.box[3]->isEnabled());

        RunnerScope scope([](QDialog& d) {
            auto& dlg = static_cast<CPreviewPropertiesDlg&>(d);
            dlg.orthographic->setChecked(true);
            dlg.delay->setValue(25);
            dlg.spin[2]->setValue(5);
            dlg.scale[0]->setValue(2);
            dlg.perspectiveColor->setColor(QColor(10, 20, 30, 255));
            return true;
        });
        view.properties();
        QCOMPARE(view.camera.frame, 0);
        QCOMPARE(view.camera.projection, 1);
        QCOMPARE(view.perspectiveBackground, QColor(10, 20, 30, 0));
        QCOMPARE(doc.preview.projection, 1);
        QCOMPARE(doc.preview.spin[2], 5.0f);
    }

    void selectLayers() {
        KTestUi ui;
        CPexaDoc doc;
        KView3D view(doc);
        RunnerScope runner([](QDialog& d) {
            auto& dlg = static_cast<CPreviewSelectLayersDlg&>(d);
            if (dlg.list->count() != 3) {
                return false;
            }
            dlg.layered->setChecked(true);
            dlg.list->item(1)->setSelected(true);
            return true;
        });
        view.selectLayers();
        QCOMPARE(view.camera.layerMode, 1);
        QCOMPARE(view.camera.selectedLayers, (std::vector<int32_t>{1}));
        QCOMPARE(doc.previewLayers, (std::vector<int32_t>{1}));
        QCOMPARE(doc.exportLayerSelection, (std::vector<int32_t>{1}));
        // Preselected when the dialog opens again.
        CPreviewSelectLayersDlg again({"a", "b", "c"}, 1, view.camera.selectedLayers);
        QVERIFY(again.layered->isChecked());
        QVERIFY(again.list->item(1)->isSelected());

        CPexaDoc empty;
        empty.takeLayers();
        KView3D emptyView(empty);
        emptyView.selectLayers();
        QCOMPARE(ui.messages().back(), std::string("There are no User layer's to select!."));
    }

    void captureAndSizeDialogs() {
        KTestUi ui;
        KCaptureSeries s;
        s.startFrame = 2;
        s.current = 3;
        CCaptureOptionsDlg dlg(s);
        QCOMPARE(dlg.current->value(), 5); // shown as start + current
        dlg.start->setValue(20);
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(ui.messages().back(),
                 std::string("The Last frame must be greater then the Start Frame!"));
        dlg.start->setValue(4);
        dlg.current->setValue(13);
        QVERIFY(!dlg.valid());
        dlg.current->setValue(6);
        QVERIFY(dlg.valid());
        dlg.fileChosen(QStringLiteral("/frames/run.tga"));
        dlg.apply(s);
        QCOMPARE(s.startFrame, 4);
        QCOMPARE(s.current, 2);
        QCOMPARE(s.nextFileName(), std::string("/frames/run006.tga"));

        CSetViewSizeDlg size(QSize(300, 200), QSize(320, 250), false, 0);
        size.width->setValue(7);
        QCOMPARE(size.width->value(), 8); // below the field's range
        size.includeFrame->setChecked(true);
        QCOMPARE(size.size(), QSize(320, 250));

        CEndOfRangeDlg end(1);
        end.choices[2]->setChecked(true);
        QCOMPARE(end.choice(), 2);
    }

    void previewWindowsInTheMainFrame() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        QVERIFY(doc);
        KFrame3D* first = frame.documents().open3DPreview(doc);
        KFrame3D* second = frame.documents().open3DPreview(doc);
        QVERIFY(first && second && first != second);
        // Besides the preview the new document opened with.
        QCOMPARE(frame.documents().otherWindowsOf(doc).size(), size_t(3));
        frame.mdiArea()->setActiveSubWindow(second);
        QVERIFY(frame.activePreview());
        QVERIFY(frame.action("shadeFlat")->isEnabled());
        frame.action("shadeWire")->trigger();
        QCOMPARE(frame.activePreview()->camera.shadingType, 1);
        QVERIFY(frame.action("shadeWire")->isChecked());
        frame.action("viewPan")->trigger();
        QCOMPARE(frame.activePreview()->camera.tool, 1);
        frame.action("animReverse")->trigger();
        QVERIFY(frame.action("animReverse")->isChecked());
        // The document's stored shading follows the toolbar.
        QCOMPARE(doc->previewShadingType, 1);

        // Closing the document closes its previews first.
        QPointer<KFrame3D> watch(first);
        KQuestionScript discard(QMessageBox::Discard);
        QVERIFY(frame.documents().closeDocument(doc));
        QVERIFY(watch.isNull());
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
