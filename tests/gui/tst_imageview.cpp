// The displacement image window: where it samples and what it sums, progress and
// cancelling, titles, the layer commands (flip, import), saving a TGA file that another
// program reads, the properties and pixel format commands, and opening the window from
// the main window's Window menu.
#include <QtTest>

#include <QtWidgets>
#include <algorithm>

#include "KGuiMapTestSupport.h"
#include "KGuiTestSupport.h"
#include "app/KChildFrames.h"
#include "dialogs/KImageViewDialogs.h"
#include "dialogs/KPreviewDialogs.h"

#include "image/KImageMapTga.h"
#include "mesh/KSurfaceHeight.h"
#include "views/KViewImage.h"

namespace {

// Accepts "Select Layers" with the given rows selected, keeping the layers it had selected
// as it opened in preselected (when given).
std::function<int(QDialog&)> selectRows(std::vector<int> rows,
                                        std::vector<int32_t>* preselected = nullptr) {
    return [rows, preselected](QDialog& dialog) {
        auto* dlg = qobject_cast<CPreviewSelectLayersDlg*>(&dialog);
        if (!dlg) {
            return int(QDialog::Rejected);
        }
        if (preselected) {
            *preselected = dlg->selection();
        }
        dlg->list->clearSelection();
        for (int row : rows) {
            dlg->list->item(row)->setSelected(true);
        }
        return int(QDialog::Accepted);
    };
}

// The pixel value the built 8-bit image holds for a height.
int32_t pixelFor(double height) {
    KImageMapTga probe;
    probe.setFormat(8, KImageMap::OptionGray8);
    probe.resize(1, 1);
    probe.setHeight(0, 0, height);
    return probe.pixelValue(0, 0);
}

// An 8-bit grey image whose pixel (x, y) holds the byte byteAt(x, y).
std::unique_ptr<KImageMap> greyImage(int w, int h, const std::function<int(int, int)>& byteAt) {
    auto image = std::make_unique<KImageMapTga>();
    image->setFormat(8, KImageMap::OptionGray8);
    image->resize(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image->setHeight(x, y, (byteAt(x, y) + 0.5) / 255.0);
        }
    }
    return image;
}

void attachImage(CPexaDoc& doc, int layer, std::unique_ptr<KImageMap> image) {
    QCOMPARE(doc.layerAt(layer)->setImageMap(image), 0);
}

// The image's size and the layers it sums (none: the whole surface).
void shape(KViewImage& view, int w, int h, std::vector<int32_t> layers = {}) {
    view.imageWidth = w;
    view.imageHeight = h;
    view.setSelection(std::move(layers));
}

// Every pixel of the built image holds the pixel value of the height at its UV point.
void expectHeights(const KViewImage& view, const std::function<double(double, double)>& height) {
    for (int y = 0; y < view.imageHeight; ++y) {
        for (int x = 0; x < view.imageWidth; ++x) {
            const double u = double(x) / view.imageWidth;
            const double v = double(y) / view.imageHeight;
            QCOMPARE(view.image->pixelValue(x, y), pixelFor(height(u, v)));
        }
    }
}

QAction* viewAction(KViewImage& view, const char* name) {
    return view.findChild<QAction*>(QString::fromLatin1(name));
}

KViewImage* imageViewIn(QMdiArea* area) {
    for (QMdiSubWindow* w : area->subWindowList()) {
        if (auto* view = qobject_cast<KViewImage*>(w->widget())) {
            return view;
        }
    }
    return nullptr;
}

// The 8-bit grey pixels of a file as ImageMagick shows it (turned upright by the
// orientation the file declares), top row first.
QByteArray greyPixelsRead(const QString& path, QString* size) {
    QProcess identify;
    identify.start(QStringLiteral("identify"),
                   {QStringLiteral("-format"), QStringLiteral("%w %h"), path});
    if (!identify.waitForFinished(20000) || identify.exitCode() != 0) {
        return {};
    }
    *size = QString::fromUtf8(identify.readAllStandardOutput()).trimmed();
    QProcess convert;
    convert.start(QStringLiteral("convert"),
                  {path, QStringLiteral("-auto-orient"), QStringLiteral("-depth"),
                   QStringLiteral("8"), QStringLiteral("gray:-")});
    if (!convert.waitForFinished(20000) || convert.exitCode() != 0) {
        return {};
    }
    return convert.readAllStandardOutput();
}

} // namespace

class TestImageView : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

private slots:
    void initTestCase() { kUseTestSettings(); }

    void samplesColumnsAndRowsAtIndexOverSize() {
        KTestUi ui;
        CPexaDoc doc;
        // A gradient in both directions, so every sample position reads another pixel.
        attachImage(doc, 1, greyImage(5, 5, [](int x, int y) { return 40 * x + 10 * y; }));
        KViewImage view(doc);
        shape(view, 4, 4, {1});
        view.scale = 0.5f;
        QVERIFY(view.build());
        KBdlLayer* layer = doc.layerAt(1);
        expectHeights(view, [&](double u, double v) { return 0.5 * layer->displacement(u, v); });
        // u = 1 and v = 1 (the image's last column and row) are never sampled.
        QVERIFY(view.image->pixelValue(3, 3) != pixelFor(0.5 * layer->displacement(1.0, 1.0)));

        // Without a selection the image is the whole surface's height, clamped to the
        // pixel's range (the image, bone surface and bump rise above 1 in places).
        view.setSelection({});
        view.scale = 1.0f;
        kAddMuscle(doc, 2, KBdlMuscle::Point);
        QVERIFY(view.build());
        const KSurfaceHeight surface(&doc.bodyPart, doc.layers);
        expectHeights(
            view, [&](double u, double v) { return std::clamp(surface.height(u, v), 0.0, 1.0); });
    }

    void picturePutsRowZeroAtTheBottom() {
        KImageMapTga image;
        image.setFormat(8, KImageMap::OptionGray8);
        image.resize(2, 3);
        image.setHeight(0, 0, 1.0);  // bottom left white
        image.setHeight(1, 2, 0.52); // top right grey
        const QImage shown = KViewImage::picture(image);
        QCOMPARE(shown.pixel(0, 2), qRgb(255, 255, 255));
        QCOMPARE(shown.pixel(1, 0), qRgb(132, 132, 132));
        // A colour image is drawn in its display colours (red in the low byte).
        KImageMapTga colour;
        colour.setFormat(24, KImageMap::OptionRgb);
        colour.resize(1, 1);
        colour.setColor(0, 0, 0x0080FF);
        QCOMPARE(KViewImage::picture(colour).pixel(0, 0), qRgb(255, 128, 0));
    }

    void progressAndCancel() {
        CPexaDoc doc;
        // The bar follows the square of the fraction done: 25 after half of the rows.
        {
            KTestUi ui;
            KViewImage view(doc);
            shape(view, 3, 10);
            view.needsRebuild = 1;
            QVERIFY(view.build());
            QCOMPARE(std::tuple(ui.positions[5], ui.positions[9], ui.positions.back()),
                     std::tuple(25, 81, 100));
            QCOMPARE(ui.events.front().text, std::string("Building Displacement Image Map..."));
        }
        // Asked to cancel at 25 %: Yes stops the build, the rows computed so far stay; No
        // (answered every time) goes on to the end.
        for (const bool yes : {true, false}) {
            KTestUi ui;
            KViewImage view(doc);
            shape(view, 3, 10);
            ui.cancelProgressAt(25);
            for (int i = 0; i < (yes ? 1 : 10); ++i) {
                ui.answer(yes);
            }
            QCOMPARE(view.build(), !yes);
            QCOMPARE(ui.questions().front(), std::string("Are you sure you want to Cancel?"));
            QCOMPARE(ui.questions().size() == 1, yes);
            QCOMPARE(view.image->pixelValue(1, 6), pixelFor(0.5)); // the bone surface
            QCOMPARE(view.image->pixelValue(1, yes ? 7 : 9), yes ? 0 : pixelFor(0.5));
            QVERIFY(yes || ui.positions.back() == 100);
        }
    }

    void titlesFollowTheSelection() {
        KTestUi ui;
        CPexaDoc doc;
        KFrameDummy frame;
        auto* view = new KViewImage(doc);
        frame.setWidget(view);
        view->documentTitle = [] { return QStringLiteral("Kopf.qrz"); };
        kWithDialogs(selectRows({1, 2}), [&] { view->selectLayers(); });

        // The dialog starts on the current selection; choosing nothing is all layers.
        std::vector<int32_t> preselected;
        kWithDialogs(selectRows({}, &preselected), [&] { view->selectLayers(); });
        QCOMPARE(preselected, (std::vector<int32_t>{1, 2}));
        QCOMPARE(view->attachedLayer, 0);
        QCOMPARE(frame.windowTitle(), QStringLiteral("Kopf.qrz - All Active Layers"));

        // A renamed layer shows in the title with the next update.
        view->setSelection({2});
        doc.layerAt(2)->name = "Haut";
        doc.documentChanged();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Kopf.qrz - L2: Haut"));

        // Without user layers there is nothing to choose.
        auto layers = doc.takeLayers();
        view->selectLayers();
        QCOMPARE(ui.messages(), std::vector<std::string>{"There are no User layer's to select!."});
        doc.restoreLayers(std::move(layers));
    }

    void aRemovedLayerEndsTheSum() {
        KTestUi ui;
        CPexaDoc doc;
        attachImage(doc, 0, greyImage(2, 2, [](int, int) { return 100; }));
        attachImage(doc, 1, greyImage(2, 2, [](int, int) { return 60; }));
        KViewImage view(doc);
        shape(view, 2, 2, {1, 2, 0});
        QVERIFY(view.build());
        const double first = doc.layerAt(1)->displacement(0, 0);
        const double both = first + doc.layerAt(0)->displacement(0, 0);
        QCOMPARE(view.image->pixelValue(0, 0), pixelFor(both));

        // Layer 2 goes: the sum stops there, so layer 0 no longer counts.
        auto layers = doc.takeLayers();
        layers.pop_back();
        doc.restoreLayers(std::move(layers));
        QCOMPARE(view.needsRebuild, 1);
        view.activated();
        QCOMPARE(view.needsRebuild, 0);
        QCOMPARE(view.image->pixelValue(0, 0), pixelFor(first));
        QVERIFY(pixelFor(first) != pixelFor(both));

        // A view whose attached layer is gone cannot flip it.
        view.setSelection({2});
        view.flipHorizontal();
        QCOMPARE(ui.messages(), std::vector<std::string>{"Failed to open attached layer!"});
        QCOMPARE(view.titleText(), QStringLiteral("(untitled) - L2: (unknown)"));
    }

    void flipsTheAttachedLayersImage() {
        KTestUi ui;
        CPexaDoc doc;
        // Bright in the quarter at (0, 0). Sampling never reaches the last column or row,
        // so the bright part is two pixels wide and high.
        attachImage(doc, 0,
                    greyImage(4, 4, [](int x, int y) { return x < 2 && y < 2 ? 200 : 10; }));
        KViewImage view(doc);
        shape(view, 4, 4, {0});
        QVERIFY(view.build());
        const int32_t bright = view.image->pixelValue(0, 0);
        const int32_t dim = view.image->pixelValue(3, 0);
        QVERIFY(bright > dim);
        doc.setModified(false);
        doc.meshStale = 0;

        KImageMap* map = doc.layerAt(0)->getImageMap();
        view.flipHorizontal();
        QCOMPARE(map->pixelValue(3, 0), 200 * 256);
        // The document knows the layer changed, and the window shows the flipped heights.
        QVERIFY(doc.isModified());
        QCOMPARE(view.image->pixelValue(3, 0), bright);
        view.flipVertical();
        QCOMPARE(map->pixelValue(3, 3), 200 * 256);
        QCOMPARE(view.image->pixelValue(3, 3), bright);
        QCOMPARE(view.image->pixelValue(3, 0), dim);

        // Without an attached layer the commands say why they do nothing.
        view.setSelection({});
        view.updateCommands();
        view.flipVertical();
        QCOMPARE(ui.messages(), std::vector<std::string>{
                                    "Please select a view that is attached to a single layer."});
    }

    void savingOffersToWriteAFlippedLayerImageBack() {
        KTestUi ui;
        CMainFrame main;
        QVERIFY(main.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = main.activeDocument();
        // The layer's image is a file beside the document, referred to by a relative name.
        QDir folder(files_.path());
        QVERIFY(folder.mkpath(QStringLiteral("flip")));
        folder.cd(QStringLiteral("flip"));
        const std::string imageFile = folder.filePath(QStringLiteral("bump.tga")).toStdString();
        {
            auto image = greyImage(4, 2, [](int x, int) { return x == 0 ? 200 : 10; });
            QCOMPARE(static_cast<KImageMapTga&>(*image).save(imageFile), 0);
            image->name = "bump.tga";
            attachImage(*doc, 0, std::move(image));
        }
        doc->setPathName(folder.filePath(QStringLiteral("doc.qrz")).toStdString());
        const auto firstColumnOnDisk = [&] {
            KImageMapTga disk(imageFile);
            return disk.pixelValue(0, 0);
        };
        const int32_t brightEdge = firstColumnOnDisk();

        // A save without changes to the image asks nothing. Reopened, the document finds
        // its image beside it.
        QVERIFY(main.documents().saveDocument(doc));
        QVERIFY(main.documents().closeDocument(doc));
        doc = main.documents().openDocument(folder.filePath(QStringLiteral("doc.qrz")));
        QVERIFY(doc && doc->layerAt(0)->getImageMap());
        QCOMPARE(doc->layerAt(0)->getImageMap()->pixelValue(0, 0), brightEdge);
        QVERIFY(main.documents().saveDocument(doc));
        QVERIFY(ui.questions().empty());

        KViewImage view(*doc);
        shape(view, 4, 2, {0});
        view.flipHorizontal();

        // Enter answers No: the file, which other documents may share, is left as it is,
        // and the next save does not ask again.
        QVERIFY(main.documents().saveDocument(doc));
        QCOMPARE(ui.questions().size(), size_t(1));
        QVERIFY(ui.questions()[0].find("layer \"Bone Surfaces\"") != std::string::npos);
        QVERIFY(ui.questions()[0].find(imageFile) != std::string::npos);
        QCOMPARE(firstColumnOnDisk(), brightEdge);
        QVERIFY(main.documents().saveDocument(doc));
        QCOMPARE(ui.questions().size(), size_t(1));

        // Yes: the flipped pixels go to the file, and reopening shows them.
        view.flipHorizontal();
        view.flipHorizontal();
        ui.answer(true);
        QVERIFY(main.documents().saveDocument(doc));
        QCOMPARE(ui.questions().size(), size_t(2));
        QVERIFY(firstColumnOnDisk() != brightEdge);
        QCOMPARE(firstColumnOnDisk(), doc->layerAt(0)->getImageMap()->pixelValue(0, 0));

        // A file that cannot be written is reported, and the next save asks again.
        view.flipVertical();
        QVERIFY(QFile::remove(QString::fromStdString(imageFile)));
        QVERIFY(folder.mkdir(QStringLiteral("bump.tga"))); // a folder where the file was
        ui.answer(true);
        QVERIFY(main.documents().saveDocument(doc));
        QCOMPARE(ui.messages().size(), size_t(1));
        QVERIFY(ui.messages()[0].find("Failed to save the layer image map") == 0);
        QVERIFY(ui.messages()[0].find("bump.tga\": Is a directory") != std::string::npos);
        ui.answer(false);
        QVERIFY(main.documents().saveDocument(doc));
        QCOMPARE(ui.questions().size(), size_t(4));
    }

    void importsIntoTheAttachedLayer() {
        KTestUi ui;
        CPexaDoc doc;
        KViewImage view(doc);
        shape(view, 3, 3);
        const QString path = files_.filePath(QStringLiteral("Höhe.tga"));
        auto written = greyImage(6, 4, [](int, int) { return 255; });
        QCOMPARE(static_cast<KImageMapTga&>(*written).save(path.toStdString()), 0);

        QCOMPARE(kWithFile(path, [&] { view.importTga(); }), size_t(0)); // no selection yet
        QCOMPARE(ui.messages(),
                 std::vector<std::string>{
                     "Image maps must be attached to a specific layer. Please select "
                     "a view that is attached to a single layer."});

        view.setSelection({2});
        view.activated(); // layer 2 becomes the current item: no question about it
        QVERIFY(view.build());
        doc.setModified(false);
        kWithFile(path, [&] { view.importTga(); });
        KImageMapTga* imported = dynamic_cast<KImageMapTga*>(doc.layerAt(2)->getImageMap());
        QVERIFY(imported);
        QVERIFY(doc.isModified());
        // The window shows the new image's heights at once.
        QCOMPARE(view.image->pixelValue(1, 1),
                 pixelFor(doc.layerAt(2)->displacement(1 / 3.0, 1 / 3.0)));

        // Cancelling the file chooser imports nothing and changes nothing.
        doc.setModified(false);
        kWithFile({}, [&] { view.importTga(); });
        QVERIFY(!doc.isModified());
    }

    void exportWritesATgaOthersRead() {
        KTestUi ui;
        CPexaDoc doc;
        // Brighter towards v = 1, so the file's orientation shows.
        attachImage(doc, 0, greyImage(2, 5, [](int, int y) { return 50 * y; }));
        KViewImage view(doc);
        view.updateCommands();
        shape(view, 7, 5, {0});
        QVERIFY(view.build());

        const QString path = files_.filePath(QStringLiteral("Bild ü.tga"));
        kWithFile(path, [&] { viewAction(view, "imageExportTga")->trigger(); });
        QString size;
        const QByteArray grey = greyPixelsRead(path, &size);
        QCOMPARE(size, QStringLiteral("7 5"));
        // Shown upright, the top row is the image's last row (v near 1), the bottom row v = 0.
        const auto byteOf = [&](int x, int y) { return view.image->pixelValue(x, y) / 256; };
        QCOMPARE(int(uint8_t(grey[0])), byteOf(0, 4));
        QCOMPARE(int(uint8_t(grey[34])), byteOf(6, 0));

        // A file that cannot be written is reported, with the path and the reason.
        const QString unwritable = files_.filePath(QStringLiteral("no/such/folder/x.tga"));
        kWithFile(unwritable, [&] { view.exportTga(); });
        QCOMPARE(ui.messages(), std::vector<std::string>{
                                    "Failed to save the displacement image map!\n\"" +
                                    unwritable.toStdString() + "\": No such file or directory"});
    }

    void pixelFormatRebuildsInTheChosenFormat() {
        KTestUi ui;
        CPexaDoc doc;
        KViewImage view(doc);
        shape(view, 4, 3);
        view.updateCommands();
        QVERIFY(view.build());

        ui.answerPixelDepth(-1);
        view.pixelFormat();

        ui.answerPixelDepth(KImageMap::OptionRedGreen);
        view.pixelFormat();
        // Asked without the restriction by the 8-bit image's depth.
        QCOMPARE(view.image->pixelDepth(), 24);
        // The bone surface's 0.5 in 16 bits over red and green.
        QCOMPARE(view.image->pixelValue(2, 1), 32767);
        // A later rebuild keeps the format.
        view.rebuild();
        QCOMPARE(view.image->pixelValue(2, 1), 32767);
    }

    void propertiesStayWithinTheirRanges() {
        KTestUi ui;
        CPexaDoc doc;
        KViewImage view(doc);
        view.interpolateHeights = 1;
        view.scale = 0.3f;
        // The values typed: width, height and scale; the dialog comes with the old ones.
        KImageViewProperties shown;
        const auto typed = [&](int u, int v, const char* scale) {
            return [&shown, u, v, scale](QDialog& dialog) {
                auto* dlg = qobject_cast<KImageViewPropertiesDlg*>(&dialog);
                shown = dlg->values();
                dlg->u->setValue(u);
                dlg->v->setValue(v);
                dlg->scale->setText(QString::fromLatin1(scale));
                return int(QDialog::Accepted);
            };
        };
        kWithDialogs(typed(600, 0, "2"), [&] { view.properties(); });
        QCOMPARE(shown.scale, 0.3f); // untouched, it comes back exactly
        QCOMPARE(view.imageWidth, 512);
        QCOMPARE(view.scale, 2.0f);
        QCOMPARE(view.image->pixelValue(0, 0), pixelFor(1.0)); // 2 x the bone surface
        // A scale that is no finite number keeps the old one.
        kWithDialogs(typed(7, 0, "1e999"), [&] { view.properties(); });
        QCOMPARE(view.scale, 2.0f);
        QCOMPARE(view.imageWidth, 7);
    }

    void openedFromTheWindowMenu() {
        KTestUi ui;
        CMainFrame main;
        main.resize(1000, 700);
        QVERIFY(main.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = main.activeDocument();
        QVERIFY(doc);

        kWithDialogs(selectRows({1}), [&] { main.action("windowImage")->trigger(); });
        KViewImage* view = imageViewIn(main.mdiArea());
        QVERIFY(view);
        QMdiSubWindow* frame = view->frame();
        QCOMPARE(main.mdiArea()->activeSubWindow(), frame);
        QCOMPARE(frame->windowTitle(),
                 main.documents().title(doc) + QStringLiteral(" - L1: Exterior Muscles"));

        // The "&Image" menu is there while the window is active, with the view's commands.
        QMenu* imageMenu = main.findChild<QMenu*>(QStringLiteral("imageMenu"));
        QVERIFY(imageMenu);
        QVERIFY(imageMenu->menuAction()->isVisible());

        // Another window hides the menu; a change marks the image out of date, and coming
        // back rebuilds it and makes the attached layer current again.
        main.mdiArea()->setActiveSubWindow(main.documents().framesOf(doc).front());
        QVERIFY(!imageMenu->menuAction()->isVisible());
        doc->currentItem = CPexaDoc::ItemAnatomy;
        kAddMuscle(*doc, 1, KBdlMuscle::Point);
        doc->documentChanged();
        QCOMPARE(view->needsRebuild, 1);
        const int32_t before = view->image->pixelValue(50, 50);
        main.mdiArea()->setActiveSubWindow(frame);
        QTRY_COMPARE(view->needsRebuild, 0);
        QVERIFY(view->image->pixelValue(50, 50) > before);
        QCOMPARE(doc->currentItem, CPexaDoc::ItemFirstLayer + 1);
        QVERIFY(imageMenu->menuAction()->isVisible());

        // Closing the changed document asks first (Discard here) and takes the window along.
        QPointer<QMdiSubWindow> alive(frame);
        KQuestionScript discard(QMessageBox::Discard);
        QVERIFY(main.documents().closeDocument(doc));
        QVERIFY(alive.isNull());
    }

    void screenshotOfAWindowWithAMuscle() {
        KTestUi ui;
        CPexaDoc doc;
        kAddMuscle(doc, 1, KBdlMuscle::Point);
        QMdiArea area;
        area.resize(420, 420);
        auto* frame = new KFrameDummy;
        auto* view = new KViewImage(doc);
        view->documentTitle = [] { return QStringLiteral("Quorl1"); };
        frame->setWidget(view);
        area.addSubWindow(frame);
        frame->resize(300, 300);
        area.show();
        view->refreshTitle();
        // The first paint builds the image (all active layers) right after it.
        view->viewport()->repaint();
        QTRY_VERIFY(view->image != nullptr);
        const QImage shot = frame->grab().toImage();
        QVERIFY(kSaveScreenshot(shot, QStringLiteral("image_view.png")));
        // The bump in the middle of the picture is brighter than its corner.
        const QPoint origin = view->viewport()->mapTo(frame, QPoint(0, 0));
        const QRgb centre = shot.pixel(origin + QPoint(50, 50));
        const QRgb corner = shot.pixel(origin + QPoint(2, 97));
        QVERIFY(qGray(centre) > qGray(corner));
    }
};

QTEST_MAIN(TestImageView)
#include "tst_imageview.moc"
