#pragma once
// Shared set-up of the GUI tests: settings in a private temporary folder, so tests
// neither read nor write the user's own; and small helpers several tests use.

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <vector>

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
