// A seeded random sequence of edits, undos, redos and saves on one document, checked
// after every action against the bytes the document had at each point of its history:
// an undo or redo must give exactly those bytes, the modified mark must say whether the
// document differs from the saved point, and no window may hold a muscle the document
// no longer has. QUORL_RANDOM_SEED replays a run (the seed is printed first);
// QUORL_UNDO_RANDOM_SECONDS runs longer than the few seconds of an ordinary test run.

#include <chrono>
#include <random>

#include "KGuiUndoTestSupport.h"
#include "dialogs/KViewToolDialogs.h"
#include "views/KFrameMdl.h"
#include "views/KViewMdl.h"

namespace {

// Whether the muscle is one the document holds.
bool holds(const CPexaDoc& doc, const KBdlMuscle* muscle) {
    for (const auto& layer : doc.layers) {
        if (layer->indexOf(muscle) >= 0) {
            return true;
        }
    }
    return false;
}

struct Run {
    KUndoFixture& f;
    std::mt19937 rng;
    KFrameMdl* editor = nullptr;
    QTemporaryDir folder;
    // The document's bytes at each step of the history, and where the document is.
    std::vector<std::vector<uint8_t>> states;
    size_t at = 0;
    static constexpr size_t kNowhere = size_t(-1);
    size_t saved = 0;

    Run(KUndoFixture& fixture, unsigned seed) : f(fixture), rng(seed) {
        states.push_back(f.bytes());
        editor = f.frame.documents().openItemEditor(f.doc, f.doc->muscleAt(1, 0));
        f.frame.mdiArea()->setActiveSubWindow(f.frame.documents().framesOf(f.doc).front());
        f.doc->setPathName(folder.filePath(QStringLiteral("random.qrz")).toStdString());
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    double uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); }

    KBdlMuscle* anyMuscle(int* layerOut = nullptr) {
        std::vector<std::pair<int, KBdlMuscle*>> all;
        for (size_t l = 0; l < f.doc->layers.size(); ++l) {
            for (const auto& m : f.doc->layers[l]->muscles) {
                all.emplace_back(int(l), m.get());
            }
        }
        if (all.empty()) {
            return nullptr;
        }
        const auto& [layer, muscle] = all[size_t(pick(int(all.size())))];
        if (layerOut) {
            *layerOut = layer;
        }
        return muscle;
    }

    // One change through a command or the way a view reports it. False when the chosen
    // change found nothing to work on.
    bool edit() {
        switch (pick(8)) {
        case 0: { // a drawn muscle
            f.trigger("toolOrbital");
            const double u = uniform(0.05, 0.7), v = uniform(0.05, 0.7);
            f.drag(f.at(u, v), f.at(u + 0.2, v + 0.1));
            return true;
        }
        case 1: { // a tracker move of the muscle under a point
            KBdlMuscle* m = anyMuscle();
            if (!m) {
                return false;
            }
            m->offsetU += float(uniform(-0.1, 0.1));
            f.doc->nameNextEdit("Move");
            f.doc->itemChanged(CPexaDoc::HintMuscle, m);
            return true;
        }
        case 2: { // Delete on the selection
            f.view->rebuildItems();
            if (f.view->items().empty()) {
                return false;
            }
            f.view->selectItem(pick(int(f.view->items().size())));
            QTest::keyClick(f.view, Qt::Key_Delete);
            return true;
        }
        case 3: // Paste (of whatever Delete put on the clipboard)
            if (!f.frame.itemClipboard()) {
                return false;
            }
            f.trigger("editPaste");
            return true;
        case 4: { // an edit in the item editor
            if (!editor->muscle()) {
                KBdlMuscle* m = anyMuscle();
                if (!m) {
                    return false;
                }
                editor->editMuscle(m);
            }
            editor->upperView()->reverseCurve();
            f.frame.mdiArea()->setActiveSubWindow(f.frame.documents().framesOf(f.doc).front());
            return true;
        }
        case 5: { // a layer renamed
            KBdlLayer* layer = f.doc->layerAt(pick(int(f.doc->layers.size())));
            layer->name = "layer " + std::to_string(pick(1000));
            f.doc->nameNextEdit("Layer Properties");
            f.doc->itemChanged(CPexaDoc::HintLayer, layer);
            return true;
        }
        case 6: { // the layer image flipped
            KImageMap* image = f.doc->layerAt(2) ? f.doc->layerAt(2)->getImageMap() : nullptr;
            if (!image) {
                return false;
            }
            image->flipVertical();
            f.doc->nameNextEdit("Flip Image");
            f.doc->itemChanged(CPexaDoc::HintLayer, f.doc->layerAt(2));
            return true;
        }
        default: { // the anatomy's twist
            f.doc->bodyPart.shear = float(uniform(-0.5, 0.5));
            f.doc->nameNextEdit("Anatomy");
            f.doc->documentChanged();
            return true;
        }
        }
    }

    void step() {
        const int action = pick(10);
        if (action < 5) {
            if (!edit()) {
                return;
            }
            f.settle();
            const std::vector<uint8_t> now = f.bytes();
            if (now == states[at]) {
                return; // a change that changed nothing records no step
            }
            if (saved != kNowhere && saved > at) {
                saved = kNowhere; // the saved state was undone and is now overwritten
            }
            states.resize(at + 1);
            states.push_back(now);
            ++at;
        } else if (action < 8) {
            if (at == 0) {
                return;
            }
            f.trigger("editUndo");
            --at;
        } else if (action < 9) {
            if (at + 1 >= states.size()) {
                return;
            }
            f.trigger("editRedo");
            ++at;
        } else {
            QVERIFY(f.frame.documents().saveDocument(f.doc));
            saved = at;
        }
    }

    void check() {
        QCOMPARE(f.history->stack().index(), int(at));
        QCOMPARE(f.history->stack().count(), int(states.size()) - 1);
        QVERIFY(f.bytes() == states[at]);
        QCOMPARE(f.doc->isModified(), at != saved);
        // No window keeps a muscle the document does not hold.
        if (KBdlMuscle* m = f.view->selectedMuscle()) {
            QVERIFY(holds(*f.doc, m));
        }
        if (KBdlMuscle* m = editor->muscle()) {
            QVERIFY(holds(*f.doc, m));
            QCOMPARE(f.doc->muscleAt(editor->layerIndex(), editor->muscleIndex()), m);
        }
        f.view->viewport()->repaint();
    }
};

} // namespace

class TestUndoRandom : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void randomEditsUndosAndRedosMatchTheRecordedStates() {
        const unsigned seed = kSeedFromEnvironment();
        const int seconds = kSecondsFromEnvironment("QUORL_UNDO_RANDOM_SECONDS", 3);
        std::fprintf(stderr, "undo random: seed %u, %d s (QUORL_RANDOM_SEED=%u replays it)\n", seed,
                     seconds, seed);
        KUndoFixture f;
        QVERIFY(f.exposed);
        Run run(f, seed);
        QVERIFY(run.editor);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        int actions = 0;
        while (std::chrono::steady_clock::now() < end) {
            run.step();
            run.check();
            if (QTest::currentTestFailed()) {
                std::fprintf(stderr, "undo random: failed after %d actions\n", actions);
                return;
            }
            ++actions;
        }
        std::fprintf(stderr, "undo random: %d actions, %zu states in the history\n", actions,
                     run.states.size());
        QVERIFY(actions > 0);
    }
};

QTEST_MAIN(TestUndoRandom)
#include "tst_undo_random.moc"
