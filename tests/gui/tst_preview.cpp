// The 3D preview's logic that needs no OpenGL context: camera and projection, the mouse
// rules, animation, the stored settings, lights, the anti-aliasing jitter and sum, the
// capture series and its files, the background image rules and the preview's dialogs.

#include <QToolBar>
#include <cmath>

#include "KGuiTestKit.h"
#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/KChildFrames.h"
#include "dialogs/KPreviewDialogs.h"
#include "document/KDocumentFile.h"
#include "platform/KFile.h"
#include "preview/KGlFunctions.h"
#include "preview/KView3D.h"
#include "scene/KAccumBuffer.h"
#include "scene/KCaptureSeries.h"
#include "scene/KOglLightSrc.h"
#include "scene/KPreviewBackground.h"
#include "scene/KPreviewCamera.h"

namespace {

// The model-view matrix turning about the centred origin, as the preview drew before it
// turned about the object's middle: the reference the pivoted matrix is checked against.
KMatrix4 plainModelView(const KPreviewCamera& c, double centreX, double centreY) {
    // Left handed: z and the angles are negated and z is mirrored after the scale.
    const double sign = c.leftHanded ? -1.0 : 1.0;
    KMatrix4 m = kTranslation(0, 0, -c.eyeDistance);
    m = kMultiply(m, kTranslation(c.translate[0], c.translate[1], sign * c.translate[2]));
    m = kMultiply(m, kRotation(sign * c.rotate[0], 1, 0, 0));
    m = kMultiply(m, kRotation(sign * c.rotate[1], 0, 1, 0));
    m = kMultiply(m, kRotation(sign * c.rotate[2], 0, 0, 1));
    m = kMultiply(m, kRotation(sign * c.frame * c.spin[0], 1, 0, 0));
    m = kMultiply(m, kRotation(sign * c.frame * c.spin[1], 0, 1, 0));
    m = kMultiply(m, kRotation(sign * c.frame * c.spin[2], 0, 0, 1));
    m = kMultiply(m, kScaling(c.scale[0], c.scale[1], c.scale[2]));
    if (c.leftHanded) {
        m = kMultiply(m, kScaling(1, 1, -1));
    }
    return kMultiply(m, kTranslation(centreX, centreY, 0));
}

bool near(double a, double b, double eps = 1e-6) {
    return std::fabs(a - b) < eps;
}

// The questions about an image's dimensions (loading also asks the pixel depth).
size_t dimensionQuestions(const KScriptedUi& ui) {
    const std::vector<std::string> asked = ui.questions();
    return size_t(std::count_if(asked.begin(), asked.end(), [](const std::string& q) {
        return q.starts_with("This image map");
    }));
}

// Answers the preview's dialogs with runner (true for OK) while in scope.
struct RunnerScope : KDialogScript {
    explicit RunnerScope(std::function<bool(QDialog&)> runner)
        : KDialogScript([runner = std::move(runner)](QDialog& d) {
              return runner(d) ? int(QDialog::Accepted) : int(QDialog::Rejected);
          }) {}
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

    // Buffers are drawn with only where the context's version string names desktop
    // OpenGL 1.5 or later: an address looked up by name proves nothing on its own.
    void vertexBuffersNeedVersionOnePointFive() {
        const std::pair<const char*, bool> versions[] = {
            {"4.5 (Compatibility Profile) Mesa 22.3.6", true},
            {"1.5", true},
            {"1.4 Mesa", false},
            {"OpenGL ES 3.2 Mesa", false},
            {"", false},
            {nullptr, false}};
        for (const auto& [version, enough] : versions) {
            QCOMPARE(kGlVersionAtLeast(version, 1, 5), enough);
            KGlBufferFunctions table;
            const bool resolved = table.resolve(
                [](const char*) { return reinterpret_cast<void*>(&kGlVersionAtLeast); }, version);
            QCOMPARE(std::tuple(resolved, table.isResolved()), std::tuple(enough, enough));
        }
        // A missing entry leaves the whole table empty.
        KGlBufferFunctions table;
        QVERIFY(!table.resolve(
            [](const char* name) {
                return std::string(name) == "glBufferSubData"
                           ? nullptr
                           : reinterpret_cast<void*>(&kGlVersionAtLeast);
            },
            "3.0"));
        QVERIFY(!table.isResolved() && !table.glGenBuffers);
    }

    void orthographicBoxFollowsTheClientShape() {
        KPreviewCamera c;
        QVERIFY(c.resize(300, 200));
        QCOMPARE(std::tuple(c.orthoLeft, c.orthoBottom), std::tuple(-1.5f, -1.0f));
        QVERIFY(c.resize(200, 300));
        QCOMPARE(std::tuple(c.orthoLeft, c.orthoBottom), std::tuple(-1.0f, -1.5f));
        QVERIFY(!c.resize(200, 0)); // a window without height keeps the previous box
        QCOMPARE(c.orthoTop, 1.5f);
    }

    // One drag from (0, 0) to (x, y): what it turns or moves, and the status text.
    void mouseDragsTurnAndMove() {
        struct Case {
            int x, y;
            const char* keys; // s shift, c control, m middle, p Pan tool, i no button held
            const char* status;
            std::array<double, 6> moved; // rotate x, y, z, translate x, y, z
        };
        for (const Case& t :
             {Case{5, 2, "", "", {-2, -5, 0, 0, 0, 0}}, Case{0, -4, "s", "", {0, 0, 4, 0, 0, 0}},
              Case{0, 3, "m", "", {0, 0, -3, 0, 0, 0}},
              Case{10, 0, "c", "Panning in X", {0, 0, 0, 0.1, 0, 0}},
              Case{0, 20, "c", "Panning in Y", {0, 0, 0, 0, -0.2, 0}},
              Case{0, 5, "ps", "Panning in Z", {0, 0, 0, 0, 0, -0.05}},
              Case{0, 0, "p", "Panning in X", {0, 0, 0, 0.01, 0, 0}}, // as one
              Case{30, 40, "i", "Ready", {0, 0, 0, 0, 0, 0}}}) {
            const QString keys = QString::fromLatin1(t.keys);
            KPreviewCamera c;
            c.tool = keys.contains('p') ? KPreviewCamera::Pan : KPreviewCamera::Rotate;
            const KPreviewCamera::MouseInput in{t.x,
                                                t.y,
                                                !keys.contains('i'),
                                                keys.contains('s'),
                                                keys.contains('c'),
                                                keys.contains('m')};
            QCOMPARE(c.mouseMove(in), std::string(t.status));
            for (int i = 0; i < 3; ++i) {
                QVERIFY2(near(c.rotate[i], t.moved[i]) && near(c.translate[i], t.moved[i + 3]),
                         t.keys);
            }
        }
    }

    void matricesMirrorProjectAndCentre() {
        // Left handed, +z of the object points away from the viewer; turning about y by 90
        // degrees sends +x to -z right handed, to +z mirrored; spin frames add to it.
        struct Case {
            int leftHanded;
            float rotateY;
            int frame;
            float px, pz, depthOffset;
        };
        for (const Case& t :
             {Case{1, 0, 0, 0, 1, -1}, Case{0, 0, 0, 0, 1, 1}, Case{0, 90, 0, 1, 0, -1},
              Case{1, 90, 0, 1, 0, 1}, Case{0, 0, 9, 1, 0, -1}}) {
            KPreviewCamera c;
            c.leftHanded = t.leftHanded;
            c.rotate[1] = t.rotateY;
            c.frame = t.frame; // 10 degrees about y each
            const auto p = kTransform(plainModelView(c, 0, 0), t.px, 0, t.pz);
            QVERIFY(near(p[2], -c.eyeDistance + t.depthOffset));
        }
        KPreviewCamera c;
        QVERIFY(near(kTransform(plainModelView(c, 0, -2), 0, 2, 0)[1], 0)); // centring first
        // Perspective: the near plane's centre lands at depth -1; the orthographic box maps
        // its corners to the corners of the unit square.
        c.resize(400, 200);
        const auto p = kTransform(c.projectionMatrix(), 0, 0, -c.nearPlane);
        QVERIFY(near(p[2] / p[3], -1));
        c.projection = KPreviewCamera::Orthographic;
        const auto corner = kTransform(c.projectionMatrix(), c.orthoRight, c.orthoBottom, -1);
        QVERIFY(near(corner[0], 1) && near(corner[1], -1));

        // The centring offset follows the base shape.
        CPexaDoc doc;
        doc.baseShape = CPexaDoc::Planar;
        doc.scalingU = 2;
        doc.scalingV = 4;
        auto o = KPreviewCamera::centringOffset(doc);
        QVERIFY(near(o[0], -1) && near(o[1], -2));
        doc.baseShape = CPexaDoc::Conic;
        doc.bodyPart.bendsOn = 0;
        o = KPreviewCamera::centringOffset(doc);
        QVERIFY(near(o[0], 0) && near(o[1], -doc.bodyPart.totalLength() * 2));
        doc.bodyPart.bendsOn = 1;
        doc.bodyPart.lengths.parse("< 0, 0.5 >, < 0.5, 0.5 >");
        QVERIFY(near(KPreviewCamera::centringOffset(doc)[1], doc.bodyPart.totalLength() * 2));
        doc.baseShape = CPexaDoc::Spheric;
        o = KPreviewCamera::centringOffset(doc);
        QVERIFY(near(o[0], 0) && near(o[1], 0));
    }

    void animationCommands() {
        CPexaDoc doc;
        KView3D view(doc);
        view.stepFrame();
        view.reverse();
        QCOMPARE(std::tuple(view.camera.frame, view.camera.frameStep), std::tuple(1, -1));
        view.stepFrame();
        view.stepFrame();
        view.reverse();
        QCOMPARE(std::tuple(view.camera.frame, view.camera.frameStep), std::tuple(-1, 1));
        view.toggleSpin();
        QVERIFY(view.camera.animating && view.spinTimerActive());
        view.clearAnimation();
        QCOMPARE(std::tuple(view.camera.frame, view.camera.animating, view.spinTimerActive()),
                 std::tuple(0, false, false));
        view.camera.translate[0] = 3;
        view.camera.rotate[2] = 40;
        view.camera.scale[1] = 2;
        view.recenter();
        QCOMPARE(std::tuple(view.camera.translate[0], view.camera.rotate[2], view.camera.scale[1]),
                 std::tuple(0.0f, 0.0f, 1.0f));

        // The view is never drawn here, so the first frame stays pending: every later spin
        // tick must be dropped instead of advancing the frame.
        view.camera.delay = 1;
        view.toggleSpin();
        QTest::qWait(60);
        QCOMPARE(view.camera.frame, 1);
        view.deactivated();
        QVERIFY(!view.spinTimerActive());
        view.activated();
        QVERIFY(view.spinTimerActive());
    }

    void storedSettingsOutOfRangeAndHandedness() {
        // An out-of-range stored shading type falls back to Smooth; a right-handed
        // document gets unmirrored lights.
        CPexaDoc odd;
        odd.previewShadingType = 9;
        odd.preview.leftHanded = 0;
        KView3D oddView(odd);
        oddView.initialUpdate();
        QCOMPARE(oddView.camera.shadingType, 3);
        QCOMPARE(std::tuple(oddView.lights.lights[0].position[2], oddView.lights.glPosition(0)[2]),
                 std::tuple(1.0f, 1.0f));
    }

    void lightCopyAndSceneLighting() {
        KOglLightSrc source;
        source.setSpotCutoff(45, 2);
        source.setAttenuation(2, 3, 4);
        source.name = "key";
        KOglLightSrc copy;
        copy.copyFrom(source);
        QCOMPARE(std::tuple(copy.spotCutoff, copy.quadraticAttenuation, copy.name),
                 std::tuple(45.0f, 4.0f, std::string("key")));

        KPreviewLights l;
        CSceneLightingDlg dlg(l);
        dlg.twoSided->setChecked(true);
        dlg.ambient->setChecked(false);
        dlg.apply(l);
        // A colour not changed is kept exactly.
        QCOMPARE(std::tuple(l.twoSided, l.ambientOn, l.ambientColor[0]), std::tuple(1, 0, 0.2));
        dlg.color->setColor(QColor(255, 0, 0));
        dlg.apply(l);
        QCOMPARE(std::tuple(l.ambientColor[0], l.ambientColor[3]), std::tuple(1.0, 1.0));
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
                auto& light = dynamic_cast<CLightSourceDlg&>(d);
                light.active->setChecked(true);
                light.position[0]->setValue(2);
                light.colors[1]->setColor(QColor(255, 0, 51));
                light.alpha[1]->setValue(0.5);
                return true;
            });
            view.editLight();
            QCOMPARE(std::tuple(prompts, view.lights.lastLightId), std::tuple(1, edited));
            const KOglLightSrc& l = view.lights.lights[size_t(edited)];
            QCOMPARE(std::tuple(l.active, l.position[0]), std::tuple(1, 2.0f));
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
        QCOMPARE(std::tuple(view.lights.lights[0].active, view.lights.lights[0].position[0]),
                 std::tuple(1, 0.0f));
    }

    void jitterSequenceAndPasses() {
        using Pair = std::array<double, 2>;
        QCOMPARE(KRenderOptions::jitter(1), (Pair{0.5625, 0.4375}));
        QCOMPARE(KRenderOptions::jitter(16), (Pair{0.8333333333, 0.7222222222}));
        QCOMPARE(KRenderOptions::jitter(17), (Pair{0.8333333333, 0.0555555555}));
        KRenderOptions o;
        o.passes = 4;
        QCOMPARE(o.passOffset(1, 400, 300), (Pair{2 * 0.5625 / 400, 2 * 0.4375 / 300}));
        o.jitterScale = 2;
        QCOMPARE(o.passOffset(1, 400, 300)[0], 2 * 2 * 0.5625 / 400);
        QCOMPARE(std::tuple(KRenderOptions::parsePasses("12"), KRenderOptions::parsePasses("x")),
                 std::tuple(12, 0));
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
        QCOMPARE(std::tuple(o.antiAliasing, o.passes, o.jitterScale), std::tuple(true, 12, 0.5));
    }

    void accumulationAveragesThePasses() {
        KAccumBuffer acc;
        acc.clear(1, 1);
        const uint8_t white[4] = {255, 255, 255, 255}, black[4] = {0, 0, 0, 0};
        const uint8_t grey[4] = {51, 102, 153, 255};
        for (const uint8_t* pass : {white, black, grey, grey}) {
            acc.add(pass, 0.25);
        }
        const auto r = acc.result();
        QVERIFY(near(r[0], (255 + 0 + 51 + 51) / 4.0 / 255, 1e-5));
        QVERIFY(near(r[2], (255 + 0 + 153 + 153) / 4.0 / 255, 1e-5));
        acc.add(white, 1.0);
        QCOMPARE(acc.result()[0], 1.0f); // clamped to [0, 1] when returned
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
        QCOMPARE(std::tuple(s.startFrame, s.lastFrame), std::tuple(13, 25));
        s.current = 5;
        s.applyEndChoice(KCaptureSeries::ResetCurrent);
        QCOMPARE(s.current, 0);
        s.current = 4;
        s.applyEndChoice(KCaptureSeries::EditCounters);
        QCOMPARE(s.current, 4);
        // Past 999 the number widens instead of reusing anim000.tga.
        s.path = "/tmp/x/";
        s.startFrame = 1000;
        s.current = 0;
        QCOMPARE(s.nextFileName(), std::string("/tmp/x/anim1000.tga"));

        s.setFromChosenFile("/data/frames/walk.tga");
        QCOMPARE(std::tuple(s.path, s.fileRoot), std::tuple(std::string("/data/frames/"), "walk"));
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
        QVERIFY(kReadFile(path.toStdString(), bytes, nullptr));
        QCOMPARE(int(bytes.size()), 18 + 4 * 3);
        // Descriptor 0 (bottom row first); the first pixel stored (blue, green, red) is the
        // bottom row's blue, the last the top row's red.
        QCOMPARE(std::tuple(int(bytes[17]), int(bytes[18]), int(bytes[29])),
                 std::tuple(0, 255, 255));
        QVERIFY(!kCaptureImage(pixels, 0, 2, 8));
    }

    void backgroundImageRules() {
        QVERIFY(KPreviewBackground::isPowerOfTwo(2));
        QVERIFY(!KPreviewBackground::isPowerOfTwo(1) && !KPreviewBackground::isPowerOfTwo(100));
        KTestUi ui;
        KPreviewBackground b;
        b.mode = KPreviewBackground::On;
        b.file = kWriteFlatTga(dir_.filePath("wide.tga"), 256, 128, 0x0000FF).toStdString();
        // The display colours follow the pixel depth asked after loading: here as stored.
        ui.answerPixelDepth(KImageMap::OptionRgb);
        QVERIFY(b.load());
        QCOMPARE(dimensionQuestions(ui), size_t(0));
        QCOMPARE(b.pixels.size(), size_t(256 * 128 * 3));
        QCOMPARE(int(b.pixels[0]), 255); // red first

        // Not a power of two: asked; Cancel drops the image, OK makes it a pixel map.
        b.file = kWriteFlatTga(dir_.filePath("square.tga"), 100, 100, 0x00FF00).toStdString();
        ui.answer(false);
        QVERIFY(!b.load());
        QVERIFY(ui.questions().back().starts_with("This image map has the wrong dimensions (100"));
        ui.answer(true);
        QVERIFY(b.load());
        QCOMPARE(std::tuple(b.usePixelMap, dimensionQuestions(ui)), std::tuple(1, size_t(2)));
        // Already a pixel map: not asked again.
        b.file = kWriteFlatTga(dir_.filePath("thin.tga"), 1, 256).toStdString();
        QVERIFY(b.load());
        b.usePixelMap = 0;
        ui.answer(false);
        QVERIFY(!b.load());
        QCOMPARE(dimensionQuestions(ui), size_t(3));

        // A file that cannot be read is reported and switches the background off.
        b.file = dir_.filePath("missing.tga").toStdString();
        b.mode = KPreviewBackground::On;
        QVERIFY(!b.load());
        QCOMPARE(b.mode, int(KPreviewBackground::Off));
        QCOMPARE(ui.messages().back(), std::string("Import of TGA texture map failed!"));
    }

    void backgroundAndPropertiesDialogs() {
        KPreviewBackground b;
        CPreviewBackgroundDlg dlg(b, QColor(0, 0, 0));
        dlg.fileChosen(QStringLiteral("/x/y.tga")); // a file chosen switches it on
        dlg.coverageY->setValue(50);
        QColor c;
        dlg.apply(b, c);
        QCOMPARE(std::tuple(b.file, b.mode, b.coverageY),
                 std::tuple(std::string("/x/y.tga"), int(KPreviewBackground::On), 50));

        CPexaDoc doc;
        KView3D view(doc);
        view.camera.frame = 7;
        CPreviewPropertiesDlg probe(view.camera, QColor(), QColor());
        probe.orthographic->setChecked(true);
        QVERIFY(!probe.fov->isEnabled() && probe.box[3]->isEnabled());

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
        QCOMPARE(std::tuple(view.camera.frame, view.camera.projection), std::tuple(0, 1));
        QCOMPARE(view.perspectiveBackground, QColor(10, 20, 30, 0));
        QCOMPARE(std::tuple(doc.preview.projection, doc.preview.spin[2]), std::tuple(1, 5.0f));
    }

    void selectLayers() {
        KTestUi ui;
        CPexaDoc doc;
        KView3D view(doc);
        RunnerScope runner([](QDialog& d) {
            auto& dlg = static_cast<CPreviewSelectLayersDlg&>(d);
            dlg.layered->setChecked(true);
            dlg.list->item(1)->setSelected(true);
            return dlg.list->count() == 3;
        });
        view.selectLayers();
        QCOMPARE(view.camera.layerMode, 1);
        const std::vector<int32_t> second{1};
        QCOMPARE(
            std::tuple(view.camera.selectedLayers, doc.previewLayers, doc.exportLayerSelection),
            std::tuple(second, second, second));
        // Preselected when the dialog opens again.
        CPreviewSelectLayersDlg again({"a", "b", "c"}, 1, view.camera.selectedLayers);
        QVERIFY(again.layered->isChecked() && again.list->item(1)->isSelected());
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
        QCOMPARE(std::tuple(s.startFrame, s.current, s.nextFileName()),
                 std::tuple(4, 2, std::string("/frames/run006.tga")));

        // With the frame included the size given is the frame's.
        CSetViewSizeDlg size(QSize(300, 200), QSize(320, 250), false, 0);
        size.includeFrame->setChecked(true);
        QCOMPARE(size.size(), QSize(320, 250));
    }

    void turningHappensAboutTheObjectsMiddle() {
        // At rest the pivot changes nothing; turned or spun, the pivot stays where it was
        // on the screen while the old origin moves away from it.
        const std::array<double, 3> pivot = {0.3, -0.4, 0.25};
        for (int leftHanded : {0, 1}) {
            KPreviewCamera c;
            c.leftHanded = leftHanded;
            c.translate[0] = 0.1f;
            c.scale[0] = 2.0f;
            const double cx = -0.5, cy = 0.2;
            const KMatrix4 plain = plainModelView(c, cx, cy);
            const KMatrix4 pivoted = c.modelViewMatrix(cx, cy, pivot);
            for (int i = 0; i < 16; ++i) {
                QVERIFY(near(plain[size_t(i)], pivoted[size_t(i)]));
            }
            const auto rest = kTransform(pivoted, pivot[0], pivot[1], pivot[2]);
            c.rotate[0] = 35;
            c.rotate[1] = -70;
            c.frame = 4;
            const auto turned =
                kTransform(c.modelViewMatrix(cx, cy, pivot), pivot[0], pivot[1], pivot[2]);
            for (int k = 0; k < 3; ++k) {
                QVERIFY(near(turned[size_t(k)], rest[size_t(k)]));
            }
        }
        // The pivot is the middle of the calculated mesh; before there is one, the point
        // the centring puts at the origin.
        CPexaDoc doc;
        doc.baseShape = CPexaDoc::Planar;
        const auto before = KPreviewCamera::pivotOf(doc);
        QVERIFY(near(before[0], doc.scalingU / 2) && near(before[1], doc.scalingV / 2));
        doc.computeMesh();
        KVertex low, high;
        doc.meshGrid->getBounds(low, high);
        const auto after = KPreviewCamera::pivotOf(doc);
        QVERIFY(near(after[0], (low.x + high.x) / 2) && near(after[2], (low.z + high.z) / 2));
    }

    void theWheelDolliesWithinTheClippingPlanes() {
        KPreviewCamera c;
        const double start = c.viewDistance();
        QVERIFY(near(start, c.eyeDistance));
        c.dolly(1); // a notch in: a tenth of the way closer
        QVERIFY(near(c.viewDistance(), start * 0.9, 1e-5));
        c.dolly(-1);
        QVERIFY(near(c.viewDistance(), start, 1e-5));
        // However far it goes the object stays between the near and the far plane.
        c.dolly(500);
        QVERIFY(near(c.viewDistance(), c.nearPlane * 1.05, 1e-5));
        c.dolly(-500);
        QVERIFY(near(c.viewDistance(), c.farPlane * 0.9, 1e-4));
        // Right handed the sign of the stored z flips with the mirror.
        KPreviewCamera r;
        r.leftHanded = 0;
        r.dolly(2);
        QVERIFY(near(r.viewDistance(), r.eyeDistance * 0.81, 1e-5) && r.translate[2] > 0);
        // An object panned behind the eye comes back in front.
        KPreviewCamera behind;
        behind.translate[2] = -5; // left handed: 5 behind the eye's plane
        behind.dolly(1);
        QVERIFY(behind.viewDistance() >= behind.nearPlane);
        // Orthographic views show no distance: the object is scaled.
        KPreviewCamera o;
        o.projection = KPreviewCamera::Orthographic;
        o.dolly(1);
        QVERIFY(near(o.scale[0], 1 / 0.9, 1e-5) && near(o.scale[2], 1 / 0.9, 1e-5) &&
                o.translate[2] == 0);
    }

    void resetViewAndShadingActOnTheDocumentsPreview() {
        CMainFrame frame;
        CPexaDoc start;
        start.preview.rotate[1] = 30;
        start.preview.translate[2] = 0.5f;
        const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("reset-view.qrz"));
        QVERIFY(kSaveDocument(start, path.toStdString(), nullptr));
        CPexaDoc* doc = frame.documents().openDocument(path);
        QFile::remove(path);
        QVERIFY(doc);
        const auto previews = frame.documents().otherWindowsOf(doc);
        QCOMPARE(previews.size(), size_t(1));
        auto* view = qobject_cast<KView3D*>(qobject_cast<KFrame3D*>(previews[0])->view());
        // Turned, dollied and stored in the document (as a save does).
        view->camera.rotate[1] = 100;
        view->camera.rotate[0] = -20;
        const double distance = view->camera.viewDistance();
        QWheelEvent wheel(QPointF(10, 10), view->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, 3 * 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QCoreApplication::sendEvent(view, &wheel);
        QVERIFY(near(view->camera.viewDistance(), distance * 0.9 * 0.9 * 0.9, 1e-5));
        view->camera.frame = 7;
        doc->updateAllViews(CPexaDoc::HintStoring);
        QCOMPARE(doc->preview.rotate[1], 100.0f);

        // With the document's UV map the active window the commands reach its preview.
        frame.mdiArea()->setActiveSubWindow(frame.documents().framesOf(doc).front());
        QCOMPARE(frame.activePreview(), view);
        QVERIFY(frame.action("viewResetView")->isEnabled());
        frame.action("viewResetView")->trigger();
        QCOMPARE(std::tuple(view->camera.rotate[0], view->camera.rotate[1],
                            view->camera.translate[2], view->camera.frame),
                 std::tuple(0.0f, 30.0f, 0.5f, 0));
        frame.action("shadeWire")->trigger();
        QCOMPARE(view->camera.shadingType, int(KPreviewCamera::Wire));
        QVERIFY(frame.action("shadeWire")->isChecked());
        // Every button of the Shading Type toolbar has a drawn icon.
        for (QAction* a : frame.toolBar("Shading Type")->actions()) {
            QVERIFY2(a->isSeparator() || !a->icon().isNull(), qPrintable(a->objectName()));
        }
        // A document without a preview window: the commands have nothing to act on.
        delete previews[0];
        QVERIFY(!frame.activePreview());
        frame.updatePreviewCommands();
        QVERIFY(!frame.action("viewResetView")->isEnabled());
    }

    void previewWindowsInTheMainFrame() {
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        CPexaDoc* doc = frame.activeDocument();
        KFrame3D* first = frame.documents().open3DPreview(doc);
        KFrame3D* second = frame.documents().open3DPreview(doc);
        QVERIFY(first && second && first != second);
        // Besides the preview the new document opened with.
        QCOMPARE(frame.documents().otherWindowsOf(doc).size(), size_t(3));
        frame.mdiArea()->setActiveSubWindow(second);
        QVERIFY(frame.activePreview() && frame.action("shadeFlat")->isEnabled());
        frame.action("shadeWire")->trigger();
        frame.action("viewPan")->trigger();
        frame.action("animReverse")->trigger();
        // The document's stored shading follows the toolbar.
        QCOMPARE(std::tuple(frame.activePreview()->camera.shadingType,
                            frame.activePreview()->camera.tool, doc->previewShadingType),
                 std::tuple(1, 1, 1));
        QVERIFY(frame.action("shadeWire")->isChecked() && frame.action("animReverse")->isChecked());
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
