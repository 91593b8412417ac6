// "Edit Muscle Properties" and "Curve Properties": fields copied in and back, curve fields
// parsed when they lose the focus (a bad string reported and the curve kept), the curve
// button, the height slider, the texture number, and what reaches the document on OK
// and on Cancel.
#include <QtTest>

#include <QtWidgets>

#include "KGuiTestSupport.h"
#include "dialogs/KMuscleDialogs.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogKit.h"

namespace {

void gainFocus(QWidget* w) {
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w, &in);
}

KTextureList fiveTextures() {
    KTextureList list;
    for (int i = 0; i < 5; ++i) {
        list.entries.emplace_back(i, "tex" + std::to_string(i), 0x102030u * uint32_t(i));
    }
    return list;
}

// The muscle properties run on doc's muscle m with fill acting in the sheet, which then
// closes with result; what kEditMuscleProperties returns.
bool editMuscle(CPexaDoc& doc, KBdlMuscle& m, std::function<void(KMuscleSheet&)> fill, int result) {
    KDialogScript script([&](QDialog& d) {
        fill(dynamic_cast<KMuscleSheet&>(d));
        return result;
    });
    return kEditMuscleProperties(nullptr, doc, m);
}

} // namespace

class TestMuscleSheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void fieldsComeInAndGoBack() {
        KTextureList textures = fiveTextures();
        KBdlMuscle m(KBdlMuscle::Orbital);
        m.name = "Biceps";
        m.textureIndex = 3;
        m.active = 0;
        m.resolutionU = 17;
        m.begin = 0.1234567f; // more digits than a field shows
        m.mirrorV = 1;
        m.offsetU = -0.25f;
        m.symmetricWidth = 0;
        m.widthHiScale = 0.75f;
        m.height = 1.5f;
        m.heightType = KBdlMuscle::HeightOffset;
        KMuscleSheet sheet(m, textures);
        QCOMPARE(sheet.general->name->text(), QStringLiteral("Biceps"));
        QCOMPARE(sheet.general->texture->currentText(), QStringLiteral("tex3"));
        QVERIFY(!sheet.general->active->isChecked());
        QCOMPARE(sheet.general->type->checkedId(), int(KBdlMuscle::Orbital));
        QVERIFY(sheet.position->mirrorV->isChecked());
        QCOMPARE(sheet.displacement->heightType->checkedId(), int(KBdlMuscle::HeightOffset));

        sheet.general->name->setText(QStringLiteral("Triceps"));
        sheet.general->active->setChecked(true);
        sheet.general->resolutionV->setValue(900); // clamped
        sheet.general->type->button(KBdlMuscle::Point)->setChecked(true);
        sheet.position->end->setText(QStringLiteral("0.8"));
        sheet.position->mirrorU->setChecked(true);
        sheet.position->offsetV->setText(QStringLiteral("0.125"));
        sheet.position->widthLoScale->setText(QStringLiteral("2"));
        sheet.position->symmetricWidth->setChecked(true);
        sheet.displacement->height->setText(QStringLiteral("3.25"));
        sheet.displacement->heightType->button(KBdlMuscle::HeightScale)->setChecked(true);
        sheet.apply();
        QCOMPARE(m.name, std::string("Triceps"));
        // active, resolution V, type, mirror U, symmetrical width, height type.
        QCOMPARE(
            std::tuple(m.active, m.resolutionV, m.muscleType, m.mirrorU, m.symmetricWidth,
                       m.heightType),
            std::tuple(1, 512, int32_t(KBdlMuscle::Point), 1, 1, int32_t(KBdlMuscle::HeightScale)));
        // begin is untouched, not rounded through its text; end, offset V, the width
        // scales and the height.
        QCOMPARE(std::tuple(m.begin, m.end, m.offsetV, m.widthLoScale, m.widthHiScale, m.height),
                 std::tuple(0.1234567f, 0.8f, 0.125f, 2.0f, 0.75f, 3.25f));
    }

    void compoundMuscleKeepsItsType() {
        KTextureList textures = KTextureList::defaults();
        KBdlMuscle m;
        m.muscleType = KBdlMuscle::Compound;
        KMuscleSheet sheet(m, textures);
        QCOMPARE(sheet.general->type->checkedId(), -1);
        sheet.apply();
        QCOMPARE(m.muscleType, int32_t(KBdlMuscle::Compound));
    }

    void curveFieldParsesOnFocusLossAndKeepsTheCurveOnFailure() {
        KTestUi ui;
        KTextureList textures = KTextureList::defaults();
        KBdlMuscle m;
        KMuscleSheet sheet(m, textures);
        // Typing alone changes nothing; losing the focus parses.
        sheet.position->center->setText(QStringLiteral("< 0, 0.2 >, < 1, 0.8 >"));
        QCOMPARE(m.center.getString(), std::string("< 0, 0.50 >, < 0.50, 0.50 >, < 1.00, 0.50 >"));
        kLoseFocus(sheet.position->center);
        QCOMPARE(m.center.getString(), std::string("< 0, 0.2 >, < 1, 0.8 >"));
        QVERIFY(ui.messages().empty()); // fewer than three points is no failure

        // A fault in the second vertex: the message, and the curve exactly as it was.
        sheet.position->widthLo->setText(QStringLiteral("< 0, 0.3 >, < 1, 2, 3, 4, 5 >, < 1, 1 >"));
        kLoseFocus(sheet.position->widthLo);
        QCOMPARE(ui.messages().size(), size_t(1));
        QCOMPARE(m.widthLo.getString(), std::string("< 0, 0.10 >, < 0.50, 0.10 >, < 1.00, 0.10 >"));
        QVERIFY(qAbs(m.widthLo.value(0.5) - 0.10) < 1e-12);
        // The same faulty text is not reported again when the focus moves on, nor on OK.
        kLoseFocus(sheet.position->widthLo);
        sheet.apply();
        QCOMPARE(ui.messages().size(), size_t(1));
        // Pressing OK with a curve field still focused parses it too.
        sheet.displacement->crossSection->setText(QStringLiteral("< 0, 1 >, < 1, 0 >"));
        sheet.apply();
        QCOMPARE(m.crossSection.count(), 2);
    }

    void curveButtonFollowsTheFocusedField() {
        KTestUi ui;
        KTextureList textures = KTextureList::defaults();
        KBdlMuscle m;
        KMuscleSheet sheet(m, textures);
        // The Hi width fields are enabled only for a width that is not symmetrical.
        QVERIFY(!sheet.position->widthHi->isEnabled());
        sheet.position->symmetricWidth->click();
        QVERIFY(sheet.position->widthHi->isEnabled());
        sheet.position->symmetricWidth->click();
        QVERIFY(!sheet.position->widthHi->isEnabled());

        QPushButton* pos = sheet.position->curveProperties;
        QPushButton* disp = sheet.displacement->curveProperties;
        sheet.position->curveButton->run();
        QCOMPARE(ui.messages(), std::vector<std::string>{"Please select a curve first!"});

        const std::tuple<KCurveField*, QPushButton*, QString> expected[] = {
            {sheet.position->widthLo, pos, QStringLiteral("Edit 'Width Lo' Properties...")},
            {sheet.displacement->crossSection, disp, QStringLiteral("Edit 'Shape' Properties...")}};
        QVERIFY(!disp->isEnabled());
        for (const auto& [field, button, text] : expected) {
            gainFocus(field);
            QVERIFY(button->isEnabled());
            QCOMPARE(button->text(), text);
        }

        // The button acts on the focused field's curve and refreshes the field.
        gainFocus(sheet.position->widthHi);
        KDialogScript script([](QDialog& d) {
            auto& dlg = dynamic_cast<KCurvePropertiesDlg&>(d);
            dlg.controlPoints->setPlainText(QStringLiteral("< 0, 0.3 >, < 0.5, 0.3 >, < 1, 0.3 >"));
            kLoseFocus(dlg.controlPoints);
            dlg.type->button(0)->setChecked(true);
            return int(QDialog::Accepted);
        });
        sheet.position->curveButton->run();
        QCOMPARE(m.widthHi.getString(), std::string("< 0, 0.3 >, < 0.5, 0.3 >, < 1, 0.3 >"));
        QCOMPARE(m.widthHi.basis, int32_t(KBdlCurve::Polyline));
        QCOMPARE(sheet.position->widthHi->text(),
                 QStringLiteral("< 0, 0.3 >, < 0.5, 0.3 >, < 1, 0.3 >"));
        QVERIFY(sheet.curvesChanged());
    }

    void heightSliderRangesFromTheHeight() {
        KTextureList textures = KTextureList::defaults();
        KBdlMuscle m;
        m.height = 2.35f;
        KMuscleSheet sheet(m, textures);
        dlgCPEditMusclePP3* p = sheet.displacement;
        QCOMPARE(p->sliderMin->text(), QStringLiteral("2"));
        // The height typed (none: as the sheet opens) and the slider's minimum, maximum
        // and value after it: a whole number gets a range one unit wide, and 0.29 is
        // 28.999... hundredths in binary.
        const std::tuple<const char*, int, int, int> heights[] = {{nullptr, 200, 300, 235},
                                                                  {"2", 200, 300, 200},
                                                                  {"0.29", 0, 100, 29},
                                                                  {"-0.5", -100, 0, -50}};
        for (const auto& [text, min, max, value] : heights) {
            if (text) {
                p->height->setText(QString::fromLatin1(text));
                kLoseFocus(p->height);
            }
            const QSlider* s = p->heightSlider;
            QCOMPARE(std::tuple(s->minimum(), s->maximum(), s->value()),
                     std::tuple(min, max, value));
        }
        // Moving the slider sets the height in hundredths.
        p->heightSlider->setValue(-25);
        QCOMPARE(p->height->text(), QStringLiteral("-0.25"));
        sheet.apply();
        QCOMPARE(m.height, -0.25f);
    }

    void textureNumberIsClampedAndSelects() {
        KTextureList textures = fiveTextures();
        KBdlMuscle m;
        KMuscleSheet sheet(m, textures);
        dlgCPEditMusclePP1* g = sheet.general;
        g->textureNumber->setText(QStringLiteral("300"));
        kLoseFocus(g->textureNumber);
        QCOMPARE(g->texture->currentIndex(), 4);
        g->texture->setCurrentIndex(2);
        emit g->texture->activated(2);
        QCOMPARE(g->textureNumber->text(), QStringLiteral("2"));
        sheet.apply();
        QCOMPARE(m.textureIndex, 2);
    }

    void cancelKeepsOnlyParsedCurves() {
        KTestUi ui;
        CPexaDoc doc;
        KBdlMuscle& m = *doc.layers[0]->muscles.emplace_back(std::make_unique<KBdlMuscle>());
        doc.setModified(false);
        KHintLog log;
        doc.addObserver(&log);
        QVERIFY(!editMuscle(
            doc, m,
            [](KMuscleSheet& sheet) {
                sheet.general->name->setText(QStringLiteral("changed"));
                sheet.displacement->height->setText(QStringLiteral("9"));
                sheet.position->center->setText(
                    QStringLiteral("< 0, 0.3 >, < 1, 0.3 >, < 2, 0.3 >"));
                kLoseFocus(sheet.position->center);
            },
            QDialog::Rejected));
        QCOMPARE(m.center.getString(), std::string("< 0, 0.3 >, < 1, 0.3 >, < 2, 0.3 >"));
        QCOMPARE(m.name, std::string("(new)"));
        // The kept curve change is a change of the document.
        QVERIFY(doc.isModified());
        QCOMPARE(log.hints.front(), int(CPexaDoc::HintMuscle));

        // A plain Cancel tells nobody.
        doc.setModified(false);
        log.hints.clear();
        QVERIFY(!editMuscle(
            doc, m, [](KMuscleSheet&) {}, QDialog::Rejected));
        QVERIFY(!doc.isModified());
        QVERIFY(log.hints.empty());

        // OK copies and reports the muscle.
        QVERIFY(editMuscle(
            doc, m,
            [](KMuscleSheet& sheet) { sheet.general->name->setText(QStringLiteral("Deltoid")); },
            QDialog::Accepted));
        QCOMPARE(m.name, std::string("Deltoid"));
        QVERIFY(doc.isModified());
        QCOMPARE(log.hints.front(), int(CPexaDoc::HintMuscle));
        doc.removeObserver(&log);

        QVERIFY(!kEditMuscleProperties(nullptr, doc, static_cast<KBdlMuscle*>(nullptr)));
        QCOMPARE(ui.messages().back(), std::string("Couldn't reference muscle for editing..."));
    }

    void curvePropertiesMapsBasisAndIndexType() {
        KTestUi ui;
        KBdlCurve curve("< 0, 0 >, < 0.5, 1 >, < 1, 0 >, < 1.5, 1 >", 20, KBdlCurve::Radial);
        curve.setBasis(KBdlCurve::Bezier);
        {
            KCurvePropertiesDlg dlg(curve);
            QCOMPARE(dlg.type->checkedId(), 1); // any basis but 0 is "Spline"
            QCOMPARE(dlg.indexType->checkedId(), int(KBdlCurve::AxisX));
            dlg.apply();
        }
        QCOMPARE(curve.basis, int32_t(KBdlCurve::Spline));
        QCOMPARE(curve.indexType, int32_t(KBdlCurve::AxisX));

        curve.indexType = KBdlCurve::Manual;
        {
            KCurvePropertiesDlg dlg(curve);
            QCOMPARE(dlg.indexType->checkedId(), int(KBdlCurve::PolyLine));
            dlg.type->button(0)->setChecked(true);
            dlg.repeats->setValue(2);
            dlg.resolution->setValue(7);
            dlg.apply();
        }
        QCOMPARE(curve.indexType, int32_t(KBdlCurve::PolyLine)); // Manual becomes PolyLine
        QCOMPARE(curve.basis, int32_t(KBdlCurve::Polyline));
        QCOMPARE(curve.repeatCount, 2);

        // Closing without "Done" keeps the settings but not the points already parsed.
        curve.setBasis(KBdlCurve::Spline);
        KDialogScript script([](QDialog& d) {
            auto& dlg = dynamic_cast<KCurvePropertiesDlg&>(d);
            dlg.controlPoints->setPlainText(QStringLiteral("< 0, 2 >\n< 1, 2 >\n< 2, 2 >"));
            kLoseFocus(dlg.controlPoints);
            dlg.type->button(0)->setChecked(true);
            dlg.indexType->button(KBdlCurve::AxisZ)->setChecked(true);
            return int(QDialog::Rejected);
        });
        QVERIFY(kEditCurveProperties(nullptr, curve));
        QCOMPARE(curve.value(0.5), 2.0);
        QCOMPARE(curve.basis, int32_t(KBdlCurve::Spline));
        QCOMPARE(curve.indexType, int32_t(KBdlCurve::PolyLine));
    }
};

QTEST_MAIN(TestMuscleSheet)
#include "tst_musclesheet.moc"
