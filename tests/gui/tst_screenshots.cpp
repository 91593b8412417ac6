// Writes PNG pictures of the main window and of every dialog into the build folder
// ("screenshots/"), so their layout can be looked at; checks that each picture is
// non-empty and that no dialog is smaller than what its layout asks for.

#include "KGuiTestKit.h"
#include "dialogs/KAboutDlg.h"
#include "dialogs/KExportDialogs.h"
#include "dialogs/KItemDefaultsDlg.h"
#include "dialogs/KObjectDialogs.h"
#include "dialogs/KPixelDepthDlg.h"
#include "dialogs/KProgressWindow.h"
#include "dialogs/KViewDialogs.h"
#include "model/KBdlMuscle.h"

class TestScreenshots : public QObject {
    Q_OBJECT

    const QStringList layerNames = {QStringLiteral("Bone Surfaces"),
                                    QStringLiteral("Exterior Muscles"),
                                    QStringLiteral("Epidermal Distortions")};

private slots:
    void initTestCase() { kUseTestSettings(); }

    void mainWindow() {
        CMainFrame frame;
        frame.resize(1100, 760);
        QVERIFY(kStartNew(frame));
        CPexaDoc* doc = frame.activeDocument();
        // Two muscles so the picture shows items.
        auto linear = std::make_unique<KBdlMuscle>(KBdlMuscle::Linear);
        linear->setFromRect(0.2, 0.2, 0.4, 0.8);
        doc->addMuscleToLayer(nullptr, linear);
        auto orbital = std::make_unique<KBdlMuscle>(KBdlMuscle::Orbital);
        orbital->setFromRect(0.5, 0.55, 0.9, 0.75);
        doc->addMuscleToLayer(doc->layerAt(1), orbital);
        doc->documentChanged();
        kShowAndSaveScreenshot(frame, QStringLiteral("mainwindow"));
    }

    void dialogs() {
        CPexaDoc doc;
        kShowDialogScreenshot<CObjectDescriptionDlg>("dlg_object_description", doc);
        kShowDialogScreenshot<CMeshPropertiesDlg>("dlg_mesh_properties", doc);
        kShowDialogScreenshot<CImagePropertiesDlg>("dlg_image_properties", doc);
        kShowDialogScreenshot<CBasicShapeDlg>("dlg_basic_shape", doc);
        kShowDialogScreenshot<CSuperQuadDlg>("dlg_superquad", doc);
        kShowDialogScreenshot<CGridViewPropertiesDlg>("dlg_grid_view_properties", KUvMapSettings{});
        kShowDialogScreenshot<CScalingPercentDlg>("dlg_scaling_percent", 100);
        kShowDialogScreenshot<CSelectLayersDlg>("dlg_select_layers", layerNames,
                                                std::vector<int>{1});
        {
            std::array<bool, 9> enabled{true, false, false, true, true, true, true, true, false};
            KPixelDepthDlg d(4, enabled);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_pixel_depth"));
        }
        kShowDialogScreenshot<KItemDefaultsDlg>(
            "dlg_item_defaults", QString::fromLatin1(KBdlMuscle::kItemDefaultsTitle),
            QString::fromLatin1(KBdlMuscle::kItemDefaultsNote), 0.1, 0.5);
        {
            KProgressWindow d(QStringLiteral("Export Mesh"));
            d.setStatus(QStringLiteral("Writing vertices..."));
            d.setPosition(42);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_progress"));
        }
        kShowDialogScreenshot<KAboutDlg>("dlg_about");
        kShowDialogScreenshot<CExportSelectLayersDlg>("dlg_export_select_layers", layerNames,
                                                      std::vector<int>{0, 2, 4},
                                                      int(CPexaDoc::Layered));
        kShowDialogScreenshot<CMegaPovOptionsDlg>("dlg_export_megapov", doc);
        kShowDialogScreenshot<CPovOptionsDlg>("dlg_export_pov", doc);
        kShowDialogScreenshot<CObjOptionsDlg>("dlg_export_obj", doc);
        kShowDialogScreenshot<CRibOptionsDlg>("dlg_export_rib", doc);
        kShowDialogScreenshot<CRawOptionsDlg>("dlg_export_raw", doc);
        kShowDialogScreenshot<CDf3OptionsDlg>("dlg_export_df3", doc);
        kShowDialogScreenshot<CExportTestingDlg>("dlg_export_testing");
    }
};

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
