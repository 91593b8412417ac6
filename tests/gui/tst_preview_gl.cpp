// The 3D preview drawn for real: needs an OpenGL context (the test runs under a virtual
// X server with the software renderer) and fails when none can be made. Renders the
// default document and a document with muscles, compares shading types, projections,
// anti-aliasing and the background, drives the mouse, captures series of TGA files, and
// writes screenshots of each shading type.

#include "../support/KGridRows.h"
#include "KGuiTestKit.h"
#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/KChildFrames.h"
#include "app/KRenderCommand.h"
#include "dialogs/KPreviewDialogs.h"
#include "document/KDocumentFile.h"
#include "document/KSampleObjects.h"
#include "preview/KOffscreenGl.h"
#include "preview/KPreviewRenderer.h"
#include "preview/KView3D.h"

namespace {

// A preview window on doc with its view. A fixed client size holds the view at exactly
// that size (the frame may be wider for its status bar); otherwise the frame is sized so
// that the client area gets it.
struct Preview {
    explicit Preview(CPexaDoc& doc, QSize client = QSize(240, 240), bool fixed = true) {
        view = new KView3D(doc);
        frame = std::make_unique<KFrame3D>(view);
        view->setFrame(frame.get());
        view->initialUpdate();
        if (fixed) {
            view->setFixedSize(client);
        }
        frame->show();
        QCoreApplication::processEvents();
        if (!fixed) {
            frame->resize(client + (frame->size() - view->size()));
            QCoreApplication::processEvents();
        }
    }
    QImage image() { return view->renderedFrame().convertToFormat(QImage::Format_RGB32); }
    std::unique_ptr<KFrame3D> frame;
    KView3D* view = nullptr;
};

QColor at(const QImage& img, int x, int y) {
    return QColor(img.pixel(x, y));
}

int countNot(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            n += (img.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF);
        }
    }
    return n;
}

// The object drawn over a tenth of the view at least, lit green in its middle.
bool showsTheObject(const QImage& shown) {
    const QImage img = shown.convertToFormat(QImage::Format_RGB32);
    return countNot(img, qRgb(0, 0, 0)) > img.width() * img.height() / 10 &&
           at(img, img.width() / 2, img.height() / 2).green() > 40;
}

// A TGA pixel (0xBBGGRR) as the colour a QImage shows.
uint32_t asTga(const QColor& c) {
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

// Draws doc into an offscreen context with the document's stored camera, as the
// command-line renderer does, in one shading type and layer mode.
struct OffscreenFrame {
    OffscreenFrame(CPexaDoc& d, QSize size) : doc(d), renderer(d), size_(size) {
        camera.readSettings(doc);
        camera.resize(size.width(), size.height());
        lights = KPreviewLights(camera.leftHanded != 0);
        std::string error;
        ok = context.create(size.width(), size.height(), &error) &&
             renderer.initialize(context.resolver(), &error);
        if (ok) {
            renderer.gl().glViewport(0, 0, size.width(), size.height());
        }
    }
    KPreviewScene scene(int viewFlat) const {
        return {camera,
                lights,
                background,
                QColor(kDefaultPerspectiveBackground),
                QColor(kDefaultOrthographicBackground),
                viewFlat};
    }
    std::vector<uint8_t> draw(bool buffers, int viewFlat = 0) {
        renderer.setBuffersAllowed(buffers);
        renderer.invalidateLists();
        renderer.renderFrame(scene(viewFlat), KRenderOptions(), true, size_.width(),
                             size_.height());
        return context.readPixels();
    }

    // The object drawn strip by strip in immediate mode, as the display lists were
    // compiled, into the frame the renderer set up.
    std::vector<uint8_t> drawImmediate(int viewFlat = 0) {
        renderer.beginFrame(scene(viewFlat));
        const KGlFunctions& gl = renderer.gl();
        gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const auto material = [&](const KTexture* t) {
            const KPreviewMaterial m = KPreviewMaterial::of(t);
            gl.glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m.ambient.data());
            gl.glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse.data());
            gl.glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m.emission.data());
            gl.glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m.specular.data());
            gl.glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
        };
        const auto strips = [&](const KMeshGrid& g, const KTexture* t, bool flat) {
            const auto p = flat ? g.objectPoints() : g.positions();
            for (int32_t r = 0; r + 1 < g.vCount(); ++r) {
                if (t) {
                    material(t);
                }
                gl.glBegin(GL_TRIANGLE_STRIP);
                for (int32_t c = 0; c < g.uCount(); ++c) {
                    for (int32_t row : {r + 1, r}) {
                        const size_t i = g.index(c, row);
                        const KVertex n = flat ? KVertex(0, 1, 0) : g.normals()[i];
                        gl.glNormal3d(n.x, n.y, n.z);
                        gl.glVertex3d(p[i].x, p[i].y, p[i].z);
                    }
                }
                gl.glEnd();
            }
        };
        if (camera.layerMode == 1) {
            const auto& wanted = camera.selectedLayers;
            for (const auto& item : doc.itemMeshes) {
                if (wanted.empty() || std::count(wanted.begin(), wanted.end(), item->layerIndex)) {
                    strips(*item, doc.textures.textureAt(item->textureIndex), viewFlat != 0);
                }
            }
        } else {
            material(doc.textures.textureAt(0));
            strips(*doc.meshGrid, nullptr, false);
        }
        renderer.finish();
        return context.readPixels();
    }

    CPexaDoc& doc;
    KOffscreenGl context;
    KPreviewRenderer renderer;
    KPreviewCamera camera;
    KPreviewLights lights;
    KPreviewBackground background;
    bool ok = false;
    QSize size_;
};

} // namespace

class TestPreviewGl : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<CPexaDoc> limb_;

private slots:
    void initTestCase() {
        kUseTestSettings();
        std::string error;
        limb_ = kMakeLimbObject(dir_.filePath("relief.tga").toStdString(), &error);
        QVERIFY2(limb_, error.c_str());
        // Without a context every test below would check nothing: fail here instead.
        CPexaDoc doc;
        Preview p(doc);
        const QImage img = p.image();
        QVERIFY2(p.view->hasContext(), "no OpenGL context: run under a display (xvfb-run)");
        QVERIFY(!img.isNull());
        qInfo("renderer: %s", qPrintable(p.view->rendererName()));
    }

    // Each shading type draws a picture of its own: points cover least, then lines, then
    // filled surfaces (flat and smooth alike). The default document fills the middle in
    // the default texture's green-grey over a black perspective background.
    void shadingTypesDiffer() {
        for (CPexaDoc* doc : {static_cast<CPexaDoc*>(nullptr), limb_.get()}) {
            CPexaDoc plain;
            Preview p(doc ? *doc : plain, QSize(320, 320));
            QImage img[4];
            int covered[4];
            const char* names[4] = {"point", "wire", "flat", "smooth"};
            for (int t = 0; t < 4; ++t) {
                p.view->setShadingType(t);
                img[t] = p.image();
                covered[t] = countNot(img[t], qRgb(0, 0, 0));
                QVERIFY(kSaveScreenshot(
                    img[t],
                    QStringLiteral("preview-%1-%2.png").arg(doc ? "limb" : "default", names[t])));
                for (int b = 0; b < t; ++b) {
                    QVERIFY2(img[t] != img[b], qPrintable(QStringLiteral("%1 %2").arg(b).arg(t)));
                }
            }
            QVERIFY(covered[0] < covered[1] && covered[1] < covered[2]);
            QVERIFY(covered[2] * 9 < covered[3] * 10 && covered[3] * 9 < covered[2] * 10);
            if (!doc) {
                for (QPoint c : {QPoint(0, 0), QPoint(319, 0), QPoint(0, 319), QPoint(319, 319)}) {
                    QCOMPARE(img[3].pixel(c) & 0xFFFFFF, 0u);
                }
                const QColor mid = at(img[3], 160, 160);
                QVERIFY(mid.green() > 40 && mid.green() > mid.red() && mid.green() > mid.blue());
                QVERIFY(covered[3] > 320 * 320 / 10 && covered[3] < 320 * 320 * 9 / 10);
            }
        }
    }

    void orthographicBackgroundAndBox() {
        CPexaDoc doc;
        doc.preview.projection = 1;
        const QImage img = Preview(doc, QSize(300, 200)).image();
        QCOMPARE(at(img, 1, 1), QColor(191, 191, 191));
        QVERIFY(at(img, 150, 100) != QColor(191, 191, 191));
    }

    void mouseDragTurnsTheObject() {
        CPexaDoc doc;
        Preview p(doc);
        const QImage before = p.image();
        QTest::mousePress(p.view, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(p.view, QPoint(105, 102));
        QTest::mouseMove(p.view, QPoint(105, 140));
        QTest::mouseRelease(p.view, Qt::LeftButton, {}, QPoint(105, 140));
        QVERIFY(p.image() != before);
        // Moving without a button reports Ready and changes nothing.
        QTest::mouseMove(p.view, QPoint(10, 10));
        QTRY_COMPARE(p.frame->paneText(0), QStringLiteral("Ready")); // the X server delivers it
        QCOMPARE(p.view->camera.rotate[0], -40.0f);
    }

    void antiAliasingSoftensOnlyTheEdge() {
        CPexaDoc doc;
        Preview p(doc);
        p.view->setShadingType(KPreviewCamera::Flat);
        const QImage plain = p.image();
        p.view->renderOptions.antiAliasing = true;
        p.view->renderOptions.passes = 4;
        const QImage smooth = p.image();
        // Same interior colour.
        const QColor a = at(plain, 120, 120), b = at(smooth, 120, 120);
        QVERIFY(qAbs(a.green() - b.green()) <= 2 && qAbs(a.red() - b.red()) <= 2);
        // Along the silhouette: background pixels partly covered by the object.
        const auto isBackground = [&plain](int x, int y) {
            return (plain.pixel(x, y) & 0xFFFFFF) == 0;
        };
        int softened = 0;
        for (int y = 1; y < 239; ++y) {
            for (int x = 1; x < 239; ++x) {
                const bool bg = isBackground(x, y);
                const bool edge = isBackground(x + 1, y) != bg || isBackground(x - 1, y) != bg ||
                                  isBackground(x, y + 1) != bg || isBackground(x, y - 1) != bg;
                softened += edge && bg && (smooth.pixel(x, y) & 0xFFFFFF) != 0;
            }
        }
        QVERIFY2(softened > 20, qPrintable(QString::number(softened)));
        // Pass counts that are not numbers draw the plain frame, not a black one.
        p.view->renderOptions.passes = 0;
        QCOMPARE(p.image(), plain);
        // While a button is held the plain pass is used.
        p.view->renderOptions.passes = 4;
        QTest::mousePress(p.view, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(p.image(), plain);
        QTest::mouseRelease(p.view, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(p.image(), smooth);
        // "Draw Each" shows the passes one paint at a time and ends with the whole sum.
        p.view->renderOptions.drawEach = true;
        p.view->renderOptions.fadeIn = true;
        p.frame->setPaneText(0, QStringLiteral("-"));
        p.view->renderLater();
        QTRY_COMPARE(p.frame->paneText(0), QStringLiteral("(Ready)"));
        QCOMPARE(p.image(), smooth);
    }

    void lightsChangeTheShade() {
        CPexaDoc doc;
        Preview p(doc);
        const QColor lit = at(p.image(), 120, 120);
        p.view->lights.lights[0].active = 0;
        QVERIFY(at(p.image(), 120, 120).green() < lit.green());
        p.view->lights.ambientOn = 0;
        QCOMPARE(p.image().pixel(120, 120) & 0xFFFFFF, 0u);
    }

    void layeredModeDrawsTheItemMeshes() {
        Preview p(*limb_);
        p.view->setShadingType(KPreviewCamera::Smooth);
        const QImage skinned = p.image();
        p.view->camera.layerMode = 1;
        p.view->rebuildLists();
        const QImage layered = p.image();
        QVERIFY(layered != skinned && countNot(layered, qRgb(0, 0, 0)) > 100);
        QVERIFY(kSaveScreenshot(layered, "preview-limb-layered.png"));
        p.view->viewFlat = 1;
        p.view->rebuildLists();
        QVERIFY(p.image() != layered);
    }

    void backgroundPlaneCoversTheView() {
        KTestUi ui;
        const QString file = kWriteFlatTga(dir_.filePath("bg.tga"), 64, 32, 0xFF0000); // blue
        QVERIFY(!file.isEmpty());
        CPexaDoc doc;
        Preview p(doc);
        KPreviewBackground& background = p.view->background;
        background.file = file.toStdString();
        background.mode = KPreviewBackground::On;
        ui.answerPixelDepth(KImageMap::OptionRgb);
        QVERIFY(background.load());
        for (const std::string& q : ui.questions()) {
            QVERIFY(!q.starts_with("This image map")); // a power of two each way
        }
        const QColor blue(0, 0, 255);
        const QImage img = p.image();
        // Inside the plane (its very edge is blended with the clamped border).
        QCOMPARE(at(img, 6, 6), blue);
        QVERIFY(at(img, 120, 120) != blue);
        // Half coverage (object moved out of sight): the middle half of the view only.
        p.view->camera.translate[0] = 10;
        background.coverageX = background.coverageY = 50;
        const QImage half = p.image();
        QCOMPARE(half.pixel(1, 1) & 0xFFFFFF, 0u);
        QCOMPARE(std::tuple(at(half, 66, 120), at(half, 174, 120)), std::tuple(blue, blue));
        // As a pixel map.
        background.usePixelMap = 1;
        background.coverageX = background.coverageY = 100;
        QCOMPARE(at(p.image(), 1, 1), blue);
    }

    // Thirteen captures fill the range (anim000 to anim012) and ask how to go on; the
    // saved frame is the shown one, bottom row first; a frame that cannot be written is
    // reported and the counter stays; a single capture goes to a chosen file.
    void captureSeries() {
        KTestUi ui;
        CPexaDoc doc;
        Preview p(doc, QSize(64, 48));
        p.view->capture.path = (dir_.path() + QLatin1Char('/')).toStdString();
        int endDialogs = 0;
        std::optional<KDialogScript> dialogs(std::in_place, [&](QDialog& d) {
            auto& end = dynamic_cast<CEndOfRangeDlg&>(d);
            ++endDialogs;
            end.choices[0]->setChecked(true);
            return int(QDialog::Accepted);
        });
        for (int i = 0; i < 13; ++i) {
            QVERIFY(p.view->captureToDisk());
            QCOMPARE(endDialogs, i == 12 ? 1 : 0);
        }
        dialogs.reset();
        QVERIFY(QFile::exists(dir_.filePath("anim012.tga")));
        QVERIFY(!QFile::exists(dir_.filePath("anim013.tga")));
        QCOMPARE(std::tuple(p.view->capture.startFrame, p.view->capture.lastFrame),
                 std::tuple(13, 25));

        KImageMapTga frame(dir_.filePath("anim000.tga").toStdString());
        QCOMPARE(std::tuple(frame.loadStatus, frame.descriptor()),
                 std::tuple(int(KImageMapTga::LoadOk), 0));
        frame.setPixelDepthOption(KImageMap::OptionRgb); // colours as stored
        const QImage shown = p.image();
        QCOMPARE(frame.displayColor(0, 0), asTga(at(shown, 0, 47)));
        QCOMPARE(frame.displayColor(32, 23), asTga(at(shown, 32, 24)));

        p.view->capture.path = dir_.filePath("no/such/folder/").toStdString();
        QVERIFY(!p.view->captureToDisk());
        QCOMPARE(p.view->capture.current, 0);
        QVERIFY(QString::fromStdString(ui.messages().back()).contains("could not be saved"));

        KFileScript files(dir_.filePath("one.tga"));
        p.view->captureOnce();
        QVERIFY(QFile::exists(dir_.filePath("one.tga")));
    }

    // In the main window: the window shows the view opaque, and previews of two documents share
    // display-list names, so closing one document must not take the object out of the other
    // document's preview.
    void previewsInTheMainWindow() {
        KQuestionScript discard(QMessageBox::Discard); // also when the window goes
        CMainFrame main;
        main.resize(1100, 700);
        QVERIFY(kStartNew(main));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.action("window3DPreview")->trigger();
        main.action("fileNew")->trigger();
        const auto docs = main.documents().documents();
        QCOMPARE(docs.size(), size_t(2));
        // Window > 3D Preview: besides the preview the new document opened with.
        QCOMPARE(main.documents().otherWindowsOf(docs[0]).size(), size_t(2));
        auto previewOf = [&main](CPexaDoc* doc) -> KFrame3D* {
            for (QMdiSubWindow* w : main.documents().otherWindowsOf(doc)) {
                if (auto* frame = qobject_cast<KFrame3D*>(w)) {
                    return frame;
                }
            }
            return nullptr;
        };
        KFrame3D* secondFrame = previewOf(docs[1]);
        QVERIFY(previewOf(docs[0]) && secondFrame);
        auto* first = qobject_cast<KView3D*>(previewOf(docs[0])->view());
        auto* second = qobject_cast<KView3D*>(secondFrame->view());
        QVERIFY(first && second);
        main.tileVertically();
        QCoreApplication::processEvents();
        QVERIFY(showsTheObject(first->renderedFrame()) && showsTheObject(second->renderedFrame()));
        const QImage picture = main.grab().toImage();
        QVERIFY(kSaveScreenshot(picture, "preview-mainwindow.png"));
        const QPoint corner = second->mapTo(&main, QPoint(3, 3)) * picture.devicePixelRatio();
        QCOMPARE(QColor(picture.pixel(corner)), QColor(0, 0, 0));

        main.mdiArea()->setActiveSubWindow(main.documents().framesOf(docs[0]).front());
        main.action("fileClose")->trigger();
        QCOMPARE(main.documents().documents().size(), size_t(1));
        main.tileVertically();
        QCoreApplication::processEvents();
        QVERIFY2(showsTheObject(second->renderedFrame()),
                 "the remaining preview draws nothing but its background");
    }

    void setViewSizeGivesTheClientSize() {
        CPexaDoc doc;
        Preview p(doc, QSize(400, 300), false);
        {
            KDialogScript dialogs([](QDialog& d) {
                auto& dlg = static_cast<CSetViewSizeDlg&>(d);
                dlg.width->setValue(300);
                dlg.height->setValue(150);
                return int(QDialog::Accepted);
            });
            p.view->setViewSize();
            QCoreApplication::processEvents();
        }
        QCOMPARE(std::tuple(p.view->size(), p.image().size()),
                 std::tuple(QSize(300, 150), QSize(300, 150)));
    }

    // The object drawn from vertex buffers is the picture the display lists drew, pixel
    // for pixel, filled flat or smooth, skinned and layered (with and without view
    // flat). Points and lines are those of the separate strips drawn one by one: the
    // driver joins the strips of a display list into one, which adds edges from each
    // row's end to the next row's start, and between the item meshes, to those pictures.
    void buffersDrawWhatTheListsDrew() {
        CPexaDoc plain;
        for (CPexaDoc* doc : {&plain, limb_.get()}) {
            OffscreenFrame f(*doc, QSize(160, 128));
            QVERIFY(f.ok);
            const std::tuple<int, int> modes[] = {{0, 0}, {1, 0}, {1, 1}};
            for (const auto& [layerMode, flat] : modes) {
                for (int t = 0; t < 4; ++t) {
                    const QString what = QStringLiteral("mode %1 flat %2 shading %3")
                                             .arg(layerMode)
                                             .arg(flat)
                                             .arg(t);
                    f.camera.shadingType = t;
                    f.camera.layerMode = layerMode;
                    const std::vector<uint8_t> lists = f.draw(false, flat);
                    QVERIFY(!f.renderer.usesBuffers());
                    const std::vector<uint8_t> buffers = f.draw(true, flat);
                    QVERIFY2(f.renderer.usesBuffers(), "the context offers no vertex buffers");
                    QVERIFY(!buffers.empty());
                    if (t >= KPreviewCamera::Flat) {
                        QVERIFY2(buffers == lists, qPrintable(what));
                    }
                    QVERIFY2(buffers == f.drawImmediate(flat), qPrintable(what));
                }
            }
        }
    }

    // A frame handed to the driver in slices, as the command-line renderer draws large
    // grids, is the frame drawn in one go: no strip is lost or drawn with other state.
    void flushedSlicesDrawTheWholeFrame() {
        OffscreenFrame f(*limb_, QSize(160, 128));
        QVERIFY(f.ok);
        for (int t : {int(KPreviewCamera::Wire), int(KPreviewCamera::Smooth)}) {
            f.camera.shadingType = t;
            f.renderer.setFlushEvery(0);
            const std::vector<uint8_t> whole = f.draw(true);
            f.renderer.setFlushEvery(300);
            QVERIFY(f.draw(true) == whole);
        }
    }

    // After a calculation that changed some rows only those rows are uploaded, and the
    // picture is the one a full upload gives.
    void partialUploadShowsTheWholeChange() {
        auto doc = kMakeBenchmarkObject(96);
        OffscreenFrame f(*doc, QSize(200, 160));
        QVERIFY(f.ok);
        f.camera.shadingType = KPreviewCamera::Smooth;
        const std::vector<uint8_t> first = f.draw(true);
        KBdlMuscle* muscle = doc->layerAt(0)->getMuscle(0);
        const std::vector<KVertex> before = kObjectPointsOf(*doc->meshGrid);
        muscle->offsetV += 0.1f;
        muscle->height += 0.5f;
        doc->itemChanged(CPexaDoc::HintMuscle, muscle);
        doc->computeMesh();
        doc->computeNormals();
        doc->changedRegion = kRowsThatDiffer(before, *doc->meshGrid);
        // Drawn again with buffers kept: the refresh is partial.
        const std::vector<uint8_t> partial = f.draw(true);
        QVERIFY(!f.renderer.lastRefresh().full);
        QVERIFY(f.renderer.lastRefresh().vertexCount < f.renderer.mesh().vertices().size());
        QVERIFY(partial != first);
        QVERIFY(partial == f.draw(false));
    }

    // The command-line renderer draws with the view's own code in a context of its own:
    // its image is the view's, pixel for pixel and the right way up, in every shading
    // type, for both projections and for a document with muscles.
    void offscreenRenderMatchesTheView() {
        CPexaDoc plain;
        CPexaDoc ortho;
        ortho.preview.projection = KPreviewCamera::Orthographic;
        const std::pair<CPexaDoc*, const char*> docs[] = {
            {&plain, "default"}, {&ortho, "ortho"}, {limb_.get(), "limb"}};
        const QSize size(200, 160);
        for (const auto& [doc, name] : docs) {
            KRenderRequest request;
            request.input = dir_.filePath(QStringLiteral("%1.qrz").arg(name)).toStdString();
            request.output = dir_.filePath(QStringLiteral("offscreen.tga")).toStdString();
            request.width = size.width();
            request.height = size.height();
            std::string error;
            QVERIFY2(kSaveDocument(*doc, request.input, &error), error.c_str());
            Preview p(*doc, size);
            for (int t = 0; t < 4; ++t) {
                p.view->setShadingType(t);
                const QImage shown = p.image();
                request.shading = t;
                // One thread holds one current context across the window system's OpenGL
                // and EGL: the view lets go of its own first.
                p.view->doneCurrent();
                QVERIFY2(kRenderDocument(request, &error) == RenderOk, error.c_str());
                KImageMapTga rendered(request.output);
                QCOMPARE(rendered.loadStatus, int(KImageMapTga::LoadOk));
                rendered.setPixelDepthOption(KImageMap::OptionRgb);
                int differing = 0;
                for (int y = 0; y < size.height(); ++y) {
                    for (int x = 0; x < size.width(); ++x) {
                        const QColor c = at(shown, x, y);
                        const uint32_t v = rendered.displayColor(x, size.height() - 1 - y);
                        differing += qAbs(int(v & 0xFF) - c.red()) > 1 ||
                                     qAbs(int((v >> 8) & 0xFF) - c.green()) > 1 ||
                                     qAbs(int((v >> 16) & 0xFF) - c.blue()) > 1;
                    }
                }
                QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1, shading %2: %3 differ")
                                                        .arg(name)
                                                        .arg(t)
                                                        .arg(differing)));
            }
        }
    }
};

QTEST_MAIN(TestPreviewGl)
#include "tst_preview_gl.moc"
