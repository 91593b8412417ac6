// Random input to the whole application: the example documents are opened, then for a
// bounded time random clicks, drags, wheel turns and keys go to the windows, random menu
// commands run, and every dialog, file chooser, question and colour chooser gets a random
// answer. The test fails on a crash, an assertion, a sanitizer report, or a step that does
// not come back within 10 seconds (an event loop that stopped answering).
//
// QUORL_RANDOM_SEED replays a run (the seed is printed first); QUORL_RANDOM_SECONDS sets
// its length (60 by default).

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "KGuiTestKit.h"

namespace {

// Aborts the process when the main thread has not finished a step for 10 seconds.
class Watchdog {
public:
    explicit Watchdog(unsigned seed) : seed_(seed), thread_([this] { watch(); }) {}
    ~Watchdog() {
        stop_ = true;
        thread_.join();
    }
    void beat() { last_ = now(); }

private:
    static int64_t now() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void watch() {
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            if (now() - last_ > 10000) {
                std::fprintf(stderr, "random input: no answer for 10 s (seed %u)\n", seed_);
                std::abort();
            }
        }
    }
    unsigned seed_;
    std::atomic<int64_t> last_{now()};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

int secondsFromEnvironment() {
    return kSecondsFromEnvironment("QUORL_RANDOM_SECONDS", 60);
}

// Commands left out: quitting ends the run, and the recent files name documents of
// another run.
bool runnable(const QAction* a) {
    const QString name = a->objectName();
    return !a->menu() && !a->isSeparator() && !name.isEmpty() && name != "fileExit" &&
           !name.startsWith("fileMru");
}

void collectCommands(const QList<QAction*>& actions, QList<QAction*>& out) {
    for (QAction* a : actions) {
        if (a->menu()) {
            collectCommands(a->menu()->actions(), out);
        } else if (runnable(a)) {
            out << a;
        }
    }
}

class RandomInput {
public:
    RandomInput(unsigned seed, const QString& folder) : rng_(seed), folder_(folder) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool coin(int percent) { return pick(100) < percent; }

    // A dialog is answered with random values in its fields' ranges, then OK or Cancel.
    int answerDialog(QDialog& dialog) {
        for (QSpinBox* box : dialog.findChildren<QSpinBox*>()) {
            if (coin(30)) {
                box->setValue(box->minimum() +
                              pick(std::min(box->maximum() - box->minimum(), 1000) + 1));
            }
        }
        for (QDoubleSpinBox* box : dialog.findChildren<QDoubleSpinBox*>()) {
            if (coin(30)) {
                const double t = pick(1001) / 1000.0;
                box->setValue(box->minimum() +
                              t * std::min(box->maximum() - box->minimum(), 100.0));
            }
        }
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
            if (coin(20)) {
                box->setChecked(!box->isChecked());
            }
        }
        return coin(70) ? int(QDialog::Accepted) : int(QDialog::Rejected);
    }

    // Files are written into the run's folder; opening takes one of the copied examples.
    QString chooseFile(const KFileRequest& request) {
        if (coin(25)) {
            return {};
        }
        if (!request.save) {
            const QStringList docs = QDir(folder_).entryList({"*.qrz"});
            return docs.isEmpty() ? QString()
                                  : QDir(folder_).filePath(docs[pick(int(docs.size()))]);
        }
        const QString suffix = request.defaultSuffix.isEmpty() ? "out" : request.defaultSuffix;
        return QDir(folder_).filePath(QStringLiteral("out%1.%2").arg(pick(8)).arg(suffix));
    }

    QMessageBox::StandardButton answerQuestion(const KQuestion& q) {
        const QMessageBox::StandardButton choices[] = {QMessageBox::Yes, QMessageBox::No,
                                                       QMessageBox::Ok, QMessageBox::Cancel};
        for (int tries = 0; tries < 8; ++tries) {
            const QMessageBox::StandardButton b = choices[pick(4)];
            if (q.buttons & b) {
                return b;
            }
        }
        return QMessageBox::Cancel;
    }

    std::optional<QColor> chooseColor(const QColor&) {
        if (coin(30)) {
            return std::nullopt;
        }
        return QColor(pick(256), pick(256), pick(256));
    }

    // The widget under a random point of the window: the one a click there would reach.
    QWidget* target(QWidget* window, QPoint& at) {
        at = QPoint(pick(std::max(1, window->width())), pick(std::max(1, window->height())));
        QWidget* w = window->childAt(at);
        // A tool button with a menu runs the menu's own event loop until a click outside
        // closes it, which a script of events sent one by one cannot give.
        auto* button = qobject_cast<QToolButton*>(w);
        if (!w || (button && (button->menu() ||
                              (button->defaultAction() && button->defaultAction()->menu())))) {
            return window;
        }
        at = w->mapFrom(window, at);
        return w;
    }

    void mouse(QWidget* window) {
        QPoint at;
        QWidget* w = target(window, at);
        const Qt::KeyboardModifiers mods =
            coin(20) ? (coin(50) ? Qt::ShiftModifier : Qt::ControlModifier) : Qt::NoModifier;
        if (coin(40)) {
            QTest::mouseClick(w, Qt::LeftButton, mods, at);
            if (coin(15)) {
                QTest::mouseDClick(w, Qt::LeftButton, mods, at);
            }
            return;
        }
        QTest::mousePress(w, Qt::LeftButton, mods, at);
        for (int i = 0, n = 1 + pick(6); i < n; ++i) {
            at += QPoint(pick(81) - 40, pick(81) - 40);
            QTest::mouseMove(w, at);
        }
        QTest::mouseRelease(w, Qt::LeftButton, mods, at);
    }

    void wheel(QWidget* window) {
        QPoint at;
        QWidget* w = target(window, at);
        const QPoint delta(0, coin(50) ? 120 : -120);
        QWheelEvent event(at, w->mapToGlobal(at), QPoint(), delta, Qt::NoButton,
                          coin(30) ? Qt::ControlModifier : Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(w, &event);
    }

    // Keys of editing and navigation; the context menu key is left out (a popup menu
    // runs its own event loop until a click outside closes it).
    void key(QWidget* window) {
        const Qt::Key keys[] = {Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Up,     Qt::Key_Down,
                                Qt::Key_Delete, Qt::Key_Escape, Qt::Key_Return, Qt::Key_Tab,
                                Qt::Key_PageUp, Qt::Key_Plus,   Qt::Key_Minus,  Qt::Key_Space,
                                Qt::Key_A,      Qt::Key_Z,      Qt::Key_Home,   Qt::Key_End};
        QWidget* focus = QApplication::focusWidget();
        QWidget* w = focus && focus->window() == window->window() ? focus : window;
        QTest::keyClick(w, keys[pick(int(std::size(keys)))],
                        coin(20) ? Qt::ControlModifier : Qt::NoModifier);
    }

private:
    std::mt19937 rng_;
    QString folder_;
};

} // namespace

// The offscreen platform says for every new window that it cannot pass size hints on.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("propagateSizeHints"))) {
        previousHandler(type, context, text);
    }
}

class TestRandomInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        kUseTestSettings();
        previousHandler = qInstallMessageHandler(quietHandler);
    }

    void applicationSurvivesRandomInput() {
        const unsigned seed = kSeedFromEnvironment();
        const int seconds = secondsFromEnvironment();
        std::fprintf(stderr, "random input: seed %u, %d s (QUORL_RANDOM_SEED=%u replays it)\n",
                     seed, seconds, seed);
        std::fflush(stderr);

        // The examples are copied, so saving over a document leaves the sources alone.
        QTemporaryDir folder;
        const QDir examples(QStringLiteral(QUORL_SOURCE_DIR "/examples"));
        QStringList opened{QStringLiteral("quorl")};
        for (const QString& name : examples.entryList({"*.qrz", "*.tga"})) {
            QVERIFY(QFile::copy(examples.filePath(name), folder.filePath(name)));
            if (name.endsWith(".qrz")) {
                opened << folder.filePath(name);
            }
        }

        RandomInput input(seed, folder.path());
        KTestUi ui;
        KDialogScript dialogs([&](QDialog& d) { return input.answerDialog(d); });
        KFileScript files([&](const KFileRequest& r) { return input.chooseFile(r); });
        KQuestionScript questions([&](const KQuestion& q) { return input.answerQuestion(q); });
        KColorScript colors([&](const QColor& c) { return input.chooseColor(c); });
        Watchdog watchdog(seed);

        auto frame = std::make_unique<CMainFrame>();
        QVERIFY(frame->processCommandLine(opened));
        frame->resize(1000, 760);
        frame->show();
        QList<QAction*> commands;
        collectCommands(frame->menuBar()->actions(), commands);
        QVERIFY(!commands.isEmpty());

        QElapsedTimer clock;
        clock.start();
        int steps = 0;
        while (clock.elapsed() < seconds * 1000LL) {
            watchdog.beat();
            ui.answer(input.coin(50));
            QList<QMdiSubWindow*> windows = frame->mdiArea()->subWindowList();
            if (windows.size() > 12) {
                // Closing asks to save the last window of a modified document, at random.
                windows[input.pick(int(windows.size()))]->close();
                QCoreApplication::processEvents();
                windows = frame->mdiArea()->subWindowList();
            }
            const int what = input.pick(10);
            if (what < 3 || windows.isEmpty()) {
                QAction* command = commands[input.pick(int(commands.size()))];
                if (command->isEnabled()) {
                    command->trigger();
                }
            } else {
                QMdiSubWindow* window = windows[input.pick(int(windows.size()))];
                frame->mdiArea()->setActiveSubWindow(window);
                QWidget* inside = window->widget() ? window->widget() : window;
                if (what < 7) {
                    input.mouse(inside);
                } else if (what < 9) {
                    input.wheel(inside);
                } else {
                    input.key(inside);
                }
            }
            QCoreApplication::processEvents();
            ++steps;
        }
        watchdog.beat();
        std::fprintf(stderr, "random input: %d steps, %d windows open at the end\n", steps,
                     int(frame->mdiArea()->subWindowList().size()));
        // Closing answers the save questions at random too; whatever is left goes with
        // the main window.
        frame->close();
        frame.reset();
        watchdog.beat();
    }
};

// Qt Test stops a test function after 5 minutes unless told otherwise: a longer run gets
// two minutes more than its length.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT")) {
        qputenv("QTEST_FUNCTION_TIMEOUT",
                QByteArray::number((qint64(secondsFromEnvironment()) + 120) * 1000));
    }
    QApplication app(argc, argv);
    TestRandomInput test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_random_input.moc"
