#pragma once
// The main window's placement as kept between runs: ten numbers written as
// "flags,show,minX,minY,maxX,maxY,left,top,right,bottom" under "Settings"/"WindowPos".

#include <QRect>
#include <QString>
#include <optional>

class QWidget;

struct KWindowPlacement {
    static constexpr unsigned kRestoreToMaximized = 2;
    static constexpr unsigned kShowNormal = 1;
    static constexpr unsigned kShowMinimized = 2;
    static constexpr unsigned kShowMaximized = 3;

    unsigned flags = 0;
    unsigned showCommand = kShowNormal;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;

    // Exactly ten comma-separated integers (the first two not negative), else nothing.
    static std::optional<KWindowPlacement> parse(const QString& text);
    QString format() const;

    QRect normalRect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
    bool maximized() const { return flags & kRestoreToMaximized || showCommand == kShowMaximized; }

    // The placement of a window as it is now.
    static KWindowPlacement of(const QWidget& window);
    // Puts the window there (shown maximised when the record says so, once shown).
    void applyTo(QWidget& window) const;

    // The stored record in the application's settings; nothing when absent or malformed.
    static std::optional<KWindowPlacement> load();
    void save() const;
};
