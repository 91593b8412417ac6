// Writes PNG pictures of the property dialogs (every page of the sheets) into the build
// folder ("screenshots/"), so their layout can be looked at; each picture must be
// non-empty and no dialog smaller than its layout asks for.

#include "KGuiTestKit.h"
#include "dialogs/KAnatomyDialogs.h"
#include "dialogs/KLayerDialogs.h"
#include "dialogs/KMuscleDialogs.h"
#include "dialogs/KPreferencesDlg.h"
#include "dialogs/KRecoveryDlg.h"
#include "dialogs/KTextureListDlg.h"
#include "image/KImageMapTga.h"

class TestPropertyScreens : public QObject {
    Q_OBJECT

    void saveSheet(QWidget& w, QTabWidget* tabs, const QString& name) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            kShowAndSaveScreenshot(w, name + QStringLiteral("-%1").arg(i + 1));
        }
    }

private slots:
    void initTestCase() { kUseTestSettings(); }

    void muscleDialogs() {
        CPexaDoc doc;
        KBdlMuscle m(KBdlMuscle::Linear);
        m.name = "Biceps";
        m.height = 2.35f;
        KMuscleSheet sheet(m, doc.textures);
        saveSheet(sheet, sheet.tabs, QStringLiteral("muscle-sheet"));
        kShowDialogScreenshot<KCurvePropertiesDlg>("curve-properties", m.center);
    }

    void layerAnatomyAndTextureDialogs() {
        CPexaDoc doc;
        doc.layers[1]->physical = 0;
        doc.layers[1]->active = 0;
        kShowDialogScreenshot<KLayerListDlg>("layer-list", doc.layers);
        KBdlLayer& layer = *doc.layers[0];
        for (int type = 0; type < 3; ++type) {
            layer.muscles.push_back(std::make_unique<KBdlMuscle>(type));
            layer.muscles.back()->name = "Muscle " + std::to_string(type);
        }
        auto img = std::make_unique<KImageMapTga>();
        img->setFormat(24, KImageMap::OptionGray24);
        img->resize(2, 2);
        img->name = "/home/user/relief.tga";
        std::unique_ptr<KImageMap> map = std::move(img);
        layer.setImageMap(map);
        KLayerPropertiesDlg props(layer, doc);
        props.select(1);
        kShowAndSaveScreenshot(props, QStringLiteral("layer-properties"));
        kShowDialogScreenshot<KSelectUserLayerDlg>("select-user-layer", doc, 1);
        kShowDialogScreenshot<KImportImageDlg>("import-image-options", doc);
        KAnatPropSheet sheet(doc.bodyPart, 0);
        saveSheet(sheet, sheet.tabs, QStringLiteral("anatomy-sheet"));
        KTextureListDlg textures(doc.textures);
        textures.select(1);
        kShowAndSaveScreenshot(textures, QStringLiteral("texture-list"));
    }

    void preferencesAndRecoveryDialogs() {
        kShowDialogScreenshot<KPreferencesDlg>("preferences", KPreferencesDlg::Values{});
        const QDateTime time(QDate(2026, 12, 7), QTime(21, 40));
        const std::vector<KRecoveryDlg::Row> rows = {
            {QStringLiteral("limb.qrz"), QStringLiteral("/home/user/models/limb.qrz"), time},
            {QStringLiteral("Quorl2"), QString(), time.addSecs(120)}};
        kShowDialogScreenshot<KRecoveryDlg>("recover-documents", rows);
    }
};

QTEST_MAIN(TestPropertyScreens)
#include "tst_propertyscreens.moc"
