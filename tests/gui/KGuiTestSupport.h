#pragma once
// Shared set-up of the GUI tests: settings in a private temporary folder, so tests
// neither read nor write the user's own; and small helpers several tests use.

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "gui/KDialogKit.h"
#include "platform/KDocumentBase.h"
#include "platform/KScriptedUi.h"

inline QTemporaryDir& kTestSettingsDir() {
    static QTemporaryDir dir;
    return dir;
}

inline void kUseTestSettings() {
    QCoreApplication::setOrganizationName(QStringLiteral("QuorlTests"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorl"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, kTestSettingsDir().path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, kTestSettingsDir().path());
    // Recovery files (the per-user data folder) go there too.
    qputenv("XDG_DATA_HOME",
            QDir(kTestSettingsDir().path()).filePath(QStringLiteral("data")).toUtf8());
}

// The seed QUORL_RANDOM_SEED gives, so a run replays; a random one without it.
inline unsigned kSeedFromEnvironment() {
    const QByteArray given = qgetenv("QUORL_RANDOM_SEED");
    return given.isEmpty() ? std::random_device{}() : given.toUInt();
}

// The positive number of seconds the environment variable gives, or fallback.
inline int kSecondsFromEnvironment(const char* variable, int fallback) {
    bool ok = false;
    const int s = qEnvironmentVariableIntValue(variable, &ok);
    return ok && s > 0 ? s : fallback;
}

// The scripted front end, answering every message and question while in scope.
struct KTestUi : KScriptedUi {
    KUiScope scope{*this};
};

// Every update a document sends to its views, in order: the hint and the object.
struct KHintLog : KViewObserver {
    std::vector<int> hints;
    std::vector<KPersistent*> objects;
    void onUpdate(int hint, KPersistent* object) override {
        hints.push_back(hint);
        objects.push_back(object);
    }
};

// The widget loses the keyboard focus, as when the user tabs away: fields that take
// their value on leaving (curve texts) do so now.
inline void kLoseFocus(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
}

// Shows the window and makes it the active one, so clicks and Tab move the keyboard focus
// (and fields that act on leaving see it go) as they do for the user.
inline bool kShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// A left click with the mouse on a line of the list, where the user would click it.
inline void kClickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Runs every modal dialog through drive (its result is the dialog's) while in scope.
struct KDialogScript {
    explicit KDialogScript(std::function<int(QDialog&)> drive) {
        kRunDialogHook = std::move(drive);
    }
    ~KDialogScript() { kRunDialogHook = nullptr; }
};

// Answers every file chooser with choose (an empty path is Cancel) while in scope, and
// keeps the requests.
struct KFileScript {
    explicit KFileScript(std::function<QString(const KFileRequest&)> choose) {
        kChooseFileHook = [this, choose = std::move(choose)](const KFileRequest& request) {
            requests.push_back(request);
            return choose(request);
        };
    }
    // Answers every chooser with path.
    explicit KFileScript(const QString& path)
        : KFileScript([path](const KFileRequest&) { return path; }) {}
    KFileScript(const KFileScript&) = delete;
    KFileScript& operator=(const KFileScript&) = delete;
    ~KFileScript() { kChooseFileHook = nullptr; }
    std::vector<KFileRequest> requests;
};

// Answers every message-box question with answer while in scope, and keeps the questions.
struct KQuestionScript {
    explicit KQuestionScript(std::function<QMessageBox::StandardButton(const KQuestion&)> answer) {
        kAskHook = [this, answer = std::move(answer)](const KQuestion& question) {
            questions.push_back(question);
            return answer(question);
        };
    }
    // Answers every question with button.
    explicit KQuestionScript(QMessageBox::StandardButton button)
        : KQuestionScript([button](const KQuestion&) { return button; }) {}
    KQuestionScript(const KQuestionScript&) = delete;
    KQuestionScript& operator=(const KQuestionScript&) = delete;
    ~KQuestionScript() { kAskHook = nullptr; }
    std::vector<KQuestion> questions;
};

// Answers every colour chooser with choose (nothing is Cancel) while in scope.
struct KColorScript {
    explicit KColorScript(std::function<std::optional<QColor>(const QColor&)> choose) {
        kChooseColorHook = std::move(choose);
    }
    ~KColorScript() { kChooseColorHook = nullptr; }
};

// The action with the given text in the menu or any of its submenus, or null.
inline QAction* kFindAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text) {
            return a;
        }
        if (QAction* inner = a->menu() ? kFindAction(a->menu(), text) : nullptr) {
            return inner;
        }
    }
    return nullptr;
}

// Saves a picture as screenshots/<fileName> in the build folder, where the looks of the
// windows can be inspected; false when there is no picture or it could not be written.
inline bool kSaveScreenshot(const QImage& picture, const QString& fileName) {
    const QDir dir(QStringLiteral(QUORL_TEST_BINARY_DIR "/screenshots"));
    return !picture.isNull() && dir.mkpath(QStringLiteral(".")) &&
           picture.save(dir.filePath(fileName));
}

inline bool kSaveScreenshot(QWidget& w, const QString& fileName) {
    return kSaveScreenshot(w.grab().toImage(), fileName);
}

// Shows the window at the size it opens with and saves its picture as
// screenshots/<name>.png. Fails when it opens smaller than its layout asks for, which
// would clip its contents.
inline void kShowAndSaveScreenshot(QWidget& w, const QString& name) {
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
    const QSize hint = w.sizeHint();
    QVERIFY2(w.width() >= hint.width() && w.height() >= hint.height(),
             qPrintable(QStringLiteral("%1 opens at %2x%3, smaller than its layout's %4x%5")
                            .arg(name)
                            .arg(w.width())
                            .arg(w.height())
                            .arg(hint.width())
                            .arg(hint.height())));
    QVERIFY(kSaveScreenshot(w, name + QStringLiteral(".png")));
}

// Opens a dialog made from args and saves its picture as screenshots/<name>.png, as
// kShowAndSaveScreenshot does.
template <class Dialog, class... Args>
void kShowDialogScreenshot(const char* name, Args&&... args) {
    Dialog dialog(std::forward<Args>(args)...);
    kShowAndSaveScreenshot(dialog, QString::fromLatin1(name));
}
