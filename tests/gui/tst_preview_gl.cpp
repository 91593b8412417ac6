// The 3D preview drawn for real: needs an OpenGL context (the test runs under a virtual
// X server with the software renderer) and fails when none can be made. Renders the
// default document and a document with muscles, compares shading types, projections,
// anti-aliasing and the background, drives the mouse, captures series of TGA files, and
// writes screenshots of each shading type.
#include <QtTest>

#include <QDir>
#include <QMdiArea>
#include <QRadioButton>
#include <QSpinBox>

#include "KGuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KChildFrames.h"
#include "app/KRenderCommand.h"
#include "dialogs/KPreviewDialogs.h"
#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "document/KSampleObjects.h"
#include "image/KImageMapTga.h"
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
    void setStatus(const QString& text) { frame->setPaneText(0, text); }
    QImage image() { return view->renderedFrame().convertToFormat(QImage::Format_RGB32); }
    std::unique_ptr<KFrame3D> frame;
    KView3D* view = nullptr;
};

int countNot(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            n += (img.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF);
        }
    }
    return n;
}

QRgb corner(const QImage& img) {
    return img.pixel(1, 1);
}

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

    void defaultDocumentFillsTheMiddle() {
        CPexaDoc doc;
        Preview p(doc);
        const QImage img = p.image();
        // Perspective background: black in every corner.
        for (QPoint c : {QPoint(0, 0), QPoint(239, 0), QPoint(0, 239), QPoint(239, 239)}) {
            QCOMPARE(img.pixel(c) & 0xFFFFFF, 0u);
        }
        // The object in the middle, lit in the default texture's green-grey.
        const QColor mid(img.pixel(120, 120));
        QVERIFY2(mid.green() > 40, qPrintable(mid.name()));
        QVERIFY(mid.green() > mid.red() && mid.green() > mid.blue());
        const int covered = countNot(img, qRgb(0, 0, 0));
        QVERIFY(covered > 240 * 240 / 10);
        QVERIFY(covered < 240 * 240 * 9 / 10);
    }

    void shadingTypesDiffer() {
        for (CPexaDoc* doc : {static_cast<CPexaDoc*>(nullptr), limb_.get()}) {
            CPexaDoc plain;
            CPexaDoc& d = doc ? *doc : plain;
            Preview p(d, QSize(320, 320));
            QImage img[4];
            int covered[4];
            const char* names[4] = {"point", "wire", "flat", "smooth"};
            for (int t = 0; t < 4; ++t) {
                p.view->setShadingType(t);
                img[t] = p.image();
                covered[t] = countNot(img[t], qRgb(0, 0, 0));
                const QString name =
                    QStringLiteral("preview-%1-%2.png")
                        .arg(doc ? QStringLiteral("limb") : QStringLiteral("default"))
                        .arg(QLatin1String(names[t]));
                QVERIFY(kSaveScreenshot(img[t], name));
            }
            for (int a = 0; a < 4; ++a) {
                for (int b = a + 1; b < 4; ++b) {
                    QVERIFY2(img[a] != img[b], qPrintable(QStringLiteral("%1 %2").arg(a).arg(b)));
                }
            }
            // Points cover least, then lines, then filled surfaces.
            QVERIFY(covered[0] < covered[1]);
            QVERIFY(covered[1] < covered[2]);
            QVERIFY(covered[2] * 9 < covered[3] * 10 && covered[3] * 9 < covered[2] * 10);
        }
    }

    void orthographicBackgroundAndBox() {
        CPexaDoc doc;
        doc.preview.projection = 1;
        Preview wide(doc, QSize(300, 200));
        const QImage img = wide.image();
        QCOMPARE(QColor(corner(img)), QColor(191, 191, 191));
        QVERIFY(QColor(img.pixel(150, 100)) != QColor(191, 191, 191));
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
        // Control pans.
        QTest::mousePress(p.view, Qt::LeftButton, Qt::ControlModifier, QPoint(50, 50));
        QMouseEvent move(QEvent::MouseMove, QPointF(60, 50), p.view->mapToGlobal(QPointF(60, 50)),
                         Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
        QCoreApplication::sendEvent(p.view, &move);
        QCOMPARE(p.frame->paneText(0), QStringLiteral("Panning in X"));
        QTest::mouseRelease(p.view, Qt::LeftButton, Qt::ControlModifier, QPoint(60, 50));
        QVERIFY(qAbs(p.view->camera.translate[0] - 0.1f) < 1e-6f);
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
        const QColor a(plain.pixel(120, 120)), b(smooth.pixel(120, 120));
        QVERIFY(qAbs(a.green() - b.green()) <= 2 && qAbs(a.red() - b.red()) <= 2);
        // Along the silhouette: background pixels partly covered by the object, and object
        // pixels partly mixed with the background.
        int softened = 0;
        for (int y = 1; y < 239; ++y) {
            for (int x = 1; x < 239; ++x) {
                const bool bg = (plain.pixel(x, y) & 0xFFFFFF) == 0;
                bool edge = false;
                for (QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    edge |= ((plain.pixel(x + d.x(), y + d.y()) & 0xFFFFFF) == 0) != bg;
                }
                if (edge && bg && (smooth.pixel(x, y) & 0xFFFFFF) != 0) {
                    ++softened;
                }
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
        p.setStatus(QStringLiteral("-"));
        p.view->renderLater();
        QTRY_COMPARE(p.frame->paneText(0), QStringLiteral("(Ready)"));
        QCOMPARE(p.image(), smooth);
    }

    void lightsChangeTheShade() {
        CPexaDoc doc;
        Preview p(doc);
        const QColor lit(p.image().pixel(120, 120));
        p.view->lights.lights[0].active = 0;
        const QColor dark(p.image().pixel(120, 120));
        QVERIFY(dark.green() < lit.green());
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
        QVERIFY(layered != skinned);
        QVERIFY(countNot(layered, qRgb(0, 0, 0)) > 100);
        QVERIFY(kSaveScreenshot(layered, "preview-limb-layered.png"));
        p.view->viewFlat = 1;
        p.view->rebuildLists();
        QVERIFY(p.image() != layered);
        p.view->camera.layerMode = 0;
        p.view->rebuildLists();
    }

    void backgroundPlaneCoversTheView() {
        KTestUi ui;
        KImageMapTga tga;
        tga.setFormat(24, KImageMap::OptionGray24);
        tga.resize(64, 32);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 64; ++x) {
                tga.setColor(x, y, 0xFF0000); // blue
            }
        }
        const QString file = dir_.filePath("bg.tga");
        QCOMPARE(tga.save(file.toStdString()), int(KImageMapTga::SaveOk));
        CPexaDoc doc;
        Preview p(doc);
        p.view->background.file = file.toStdString();
        p.view->background.mode = KPreviewBackground::On;
        ui.answerPixelDepth(KImageMap::OptionRgb);
        QVERIFY(p.view->background.load());
        for (const std::string& q : ui.questions()) {
            QVERIFY(q.rfind("This image map", 0) != 0);
        }
        const QImage img = p.image();
        // Inside the plane (its very edge is blended with the clamped border).
        QCOMPARE(QColor(img.pixel(6, 6)), QColor(0, 0, 255));
        QVERIFY(QColor(img.pixel(120, 120)) != QColor(0, 0, 255));
        // Half coverage (object moved out of sight): the middle half of the view only.
        p.view->camera.translate[0] = 10;
        p.view->background.coverageX = 50;
        p.view->background.coverageY = 50;
        const QImage half = p.image();
        QCOMPARE(half.pixel(1, 1) & 0xFFFFFF, 0u);
        QCOMPARE(QColor(half.pixel(66, 120)), QColor(0, 0, 255));
        QCOMPARE(QColor(half.pixel(174, 120)), QColor(0, 0, 255));
        // As a pixel map.
        p.view->background.usePixelMap = 1;
        p.view->background.coverageX = p.view->background.coverageY = 100;
        QCOMPARE(QColor(corner(p.image())), QColor(0, 0, 255));
    }

    void captureSeries() {
        KTestUi ui;
        CPexaDoc doc;
        Preview p(doc, QSize(64, 48));
        p.view->capture.path = (dir_.path() + QLatin1Char('/')).toStdString();
        int endDialogs = 0;
        std::optional<KDialogScript> dialogs(std::in_place, [&](QDialog& d) {
            if (auto* end = qobject_cast<CEndOfRangeDlg*>(&d)) {
                ++endDialogs;
                end->choices[0]->setChecked(true);
            }
            return int(QDialog::Accepted);
        });
        for (int i = 0; i < 13; ++i) {
            QVERIFY(p.view->captureToDisk());
            QCOMPARE(endDialogs, i == 12 ? 1 : 0);
        }
        dialogs.reset();
        QVERIFY(QFile::exists(dir_.filePath("anim012.tga")));
        QVERIFY(!QFile::exists(dir_.filePath("anim013.tga")));
        QCOMPARE(p.view->capture.startFrame, 13);
        QCOMPARE(p.view->capture.lastFrame, 25);

        // The saved frame is the shown one, bottom row first.
        KImageMapTga frame(dir_.filePath("anim000.tga").toStdString());
        QCOMPARE(frame.loadStatus, int(KImageMapTga::LoadOk));
        QCOMPARE(frame.descriptor(), 0);
        frame.setPixelDepthOption(KImageMap::OptionRgb); // colours as stored
        const QImage shown = p.image();
        const uint32_t bottomLeft = frame.displayColor(0, 0);
        const QColor c(shown.pixel(0, 47));
        QCOMPARE(bottomLeft,
                 uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16);
        const QColor m(shown.pixel(32, 24));
        QCOMPARE(frame.displayColor(32, 23),
                 uint32_t(m.red()) | uint32_t(m.green()) << 8 | uint32_t(m.blue()) << 16);

        // A frame that cannot be written is reported and the counter stays.
        p.view->capture.path = dir_.filePath("no/such/folder/").toStdString();
        QVERIFY(!p.view->captureToDisk());
        QCOMPARE(p.view->capture.current, 0);
        QVERIFY(QString::fromStdString(ui.messages().back()).contains("could not be saved"));

        // A single capture to a chosen file.
        KFileScript files(dir_.filePath("one.tga"));
        p.view->captureOnce();
        QVERIFY(QFile::exists(dir_.filePath("one.tga")));
        p.view->capture.destination = 1;
        p.view->captureOnce();
        QCOMPARE(ui.messages().back(), std::string("Function 'Capture2Clipboard()' NYA"));
    }

    void mainWindowOpensPreviews() {
        CMainFrame main;
        main.resize(1100, 700);
        QVERIFY(main.processCommandLine({QStringLiteral("quorl")}));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.action("window3DPreview")->trigger();
        CPexaDoc* doc = main.documents().documents().front();
        // Besides the preview the new document opened with.
        QCOMPARE(main.documents().otherWindowsOf(doc).size(), size_t(2));
        KView3D* view = main.activePreview();
        QVERIFY(view);
        main.tileVertically();
        QCoreApplication::processEvents();
        const QImage shown = view->renderedFrame();
        QVERIFY(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)).green() > 40);
        const QImage picture = main.grab().toImage();
        QVERIFY(kSaveScreenshot(picture, "preview-mainwindow.png"));
        // The window shows the view opaque: its black background, not what lies beneath.
        const QPoint corner = view->mapTo(&main, QPoint(3, 3)) * picture.devicePixelRatio();
        QCOMPARE(QColor(picture.pixel(corner)), QColor(0, 0, 0));
        // The toolbar acts on it.
        main.action("shadeFlat")->trigger();
        QCOMPARE(view->camera.shadingType, int(KPreviewCamera::Flat));
        kAskHook = [](const KQuestion&) { return QMessageBox::Discard; };
    }

    // Previews in one main window share their display-list names: closing one document
    // must not take the object out of another document's preview.
    void closingADocumentKeepsTheOtherPreview() {
        CMainFrame main;
        main.resize(1100, 700);
        QVERIFY(main.processCommandLine({QStringLiteral("quorl")}));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.action("fileNew")->trigger();
        const auto docs = main.documents().documents();
        QCOMPARE(docs.size(), size_t(2));
        auto previewOf = [&main](CPexaDoc* doc) -> KView3D* {
            for (QMdiSubWindow* w : main.documents().otherWindowsOf(doc)) {
                if (auto* frame = qobject_cast<KFrame3D*>(w)) {
                    return qobject_cast<KView3D*>(frame->view());
                }
            }
            return nullptr;
        };
        KView3D* first = previewOf(docs[0]);
        KView3D* second = previewOf(docs[1]);
        QVERIFY(first && second);
        main.tileVertically();
        QCoreApplication::processEvents();
        // Both previews have drawn their object.
        for (KView3D* view : {first, second}) {
            const QImage shown = view->renderedFrame();
            QVERIFY(countNot(shown.convertToFormat(QImage::Format_RGB32), qRgb(0, 0, 0)) >
                    shown.width() * shown.height() / 10);
        }
        main.mdiArea()->setActiveSubWindow(main.documents().framesOf(docs[0]).front());
        main.action("fileClose")->trigger();
        QCOMPARE(main.documents().documents().size(), size_t(1));
        main.tileVertically();
        QCoreApplication::processEvents();
        const QImage after = second->renderedFrame().convertToFormat(QImage::Format_RGB32);
        QVERIFY2(countNot(after, qRgb(0, 0, 0)) > after.width() * after.height() / 10,
                 "the remaining preview draws nothing but its background");
        QVERIFY(QColor(after.pixel(after.width() / 2, after.height() / 2)).green() > 40);
    }

    void setViewSizeGivesTheClientSize() {
        CPexaDoc doc;
        Preview p(doc, QSize(400, 300), false);
        std::optional<KDialogScript> dialogs(std::in_place, [](QDialog& d) {
            auto& dlg = static_cast<CSetViewSizeDlg&>(d);
            dlg.width->setValue(300);
            dlg.height->setValue(150);
            return int(QDialog::Accepted);
        });
        p.view->setViewSize();
        QCoreApplication::processEvents();
        dialogs.reset();
        QCOMPARE(p.view->size(), QSize(300, 150));
        QCOMPARE(p.image().size(), QSize(300, 150));
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
            const std::string path =
                dir_.filePath(QStringLiteral("%1.qrz").arg(name)).toStdString();
            std::string error;
            QVERIFY2(kSaveDocument(*doc, path, &error), error.c_str());
            Preview p(*doc, size);
            for (int t = 0; t < 4; ++t) {
                p.view->setShadingType(t);
                const QImage shown = p.image();
                KRenderRequest request;
                request.input = path;
                request.output = dir_.filePath(QStringLiteral("offscreen.tga")).toStdString();
                request.width = size.width();
                request.height = size.height();
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
                        const QColor c(shown.pixel(x, y));
                        const uint32_t v = rendered.displayColor(x, size.height() - 1 - y);
                        differing += qAbs(int(v & 0xFF) - c.red()) > 1 ||
                                     qAbs(int((v >> 8) & 0xFF) - c.green()) > 1 ||
                                     qAbs(int((v >> 16) & 0xFF) - c.blue()) > 1;
                    }
                }
                QVERIFY2(differing == 0,
                         qPrintable(QStringLiteral("%1, shading %2: %3 pixels differ")
                                        .arg(name)
                                        .arg(t)
                                        .arg(differing)));
            }
        }
    }
};

QTEST_MAIN(TestPreviewGl)
#include "tst_preview_gl.moc"
