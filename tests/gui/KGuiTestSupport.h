#pragma once
// Shared set-up of the GUI tests: settings in a private temporary folder, so tests
// neither read nor write the user's own; and small helpers several tests use.

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "app/dialogs/KDialogKit.h"
#include "platform/KDocumentBase.h"

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
}

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

// Answers every file chooser with choose (an empty path is Cancel) while in scope.
struct KFileScript {
    explicit KFileScript(std::function<QString(const KFileRequest&)> choose) {
        kChooseFileHook = std::move(choose);
    }
    ~KFileScript() { kChooseFileHook = nullptr; }
};
