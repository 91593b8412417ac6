#pragma once
// Shared set-up of the GUI tests: settings in a private temporary folder, so tests
// neither read nor write the user's own.

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

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
