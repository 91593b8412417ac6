// Writes PNG pictures of the main window and of every dialog into the build folder
// ("screenshots/"), so their layout can be looked at; checks that each picture is
// non-empty and that no dialog is smaller than what its layout asks for.
#include <QtTest>

#include <QDir>
#include <QLabel>
#include <QMdiArea>

#include "KGuiTestSupport.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "dialogs/KAboutDlg.h"
#include "dialogs/KExportDialogs.h"
#include "dialogs/KItemDefaultsDlg.h"
#include "dialogs/KObjectDialogs.h"
#include "dialogs/KPixelDepthDlg.h"
#include "dialogs/KProgressWindow.h"
#include "dialogs/KViewDialogs.h"
#include "document/CPexaDoc.h"
#include "model/KBdlMuscle.h"

class TestScreenshots : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void mainWindow() {
        CMainFrame frame;
        frame.resize(1100, 760);
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        QVERIFY(doc);
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
        {
            CObjectDescriptionDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_object_description"));
        }
        {
            CMeshPropertiesDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_mesh_properties"));
        }
        {
            CImagePropertiesDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_image_properties"));
        }
        {
            CBasicShapeDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_basic_shape"));
        }
        {
            CSuperQuadDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_superquad"));
        }
        {
            CGridViewPropertiesDlg d{KUvMapSettings{}};
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_grid_view_properties"));
        }
        {
            CScalingPercentDlg d(100);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_scaling_percent"));
        }
        {
            CSelectLayersDlg d({QStringLiteral("Bone Surfaces"), QStringLiteral("Exterior Muscles"),
                                QStringLiteral("Epidermal Distortions")},
                               {1});
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_select_layers"));
        }
        {
            std::array<bool, 9> enabled{true, false, false, true, true, true, true, true, false};
            KPixelDepthDlg d(4, enabled);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_pixel_depth"));
        }
        {
            KItemDefaultsDlg d(QString::fromLatin1(KBdlMuscle::kItemDefaultsTitle),
                               QString::fromLatin1(KBdlMuscle::kItemDefaultsNote), 0.1, 0.5);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_item_defaults"));
        }
        {
            KProgressWindow d(QStringLiteral("Export Mesh"));
            d.setStatus(QStringLiteral("Writing vertices..."));
            d.setPosition(42);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_progress"));
        }
        {
            KAboutDlg d;
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_about"));
        }
    }

    void exportDialogs() {
        CPexaDoc doc;
        {
            CExportSelectLayersDlg d({QStringLiteral("Bone Surfaces"),
                                      QStringLiteral("Exterior Muscles"),
                                      QStringLiteral("Epidermal Distortions")},
                                     {0, 2, 4}, CPexaDoc::Layered);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_export_select_layers"));
        }
        {
            CMegaPovOptionsDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_export_megapov"));
        }
        {
            CPovOptionsDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_export_pov"));
        }
        {
            CObjOptionsDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_export_obj"));
        }
        {
            CRibOptionsDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_export_rib"));
        }
        {
            CRawOptionsDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_export_raw"));
        }
        {
            CDf3OptionsDlg d(doc);
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_export_df3"));
        }
        {
            CExportTestingDlg d;
            kShowAndSaveScreenshot(d, QStringLiteral("dlg_export_testing"));
        }
    }
};

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
