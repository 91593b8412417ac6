#include "app/KWindowPlacement.h"

#include <QSettings>
#include <QStringList>
#include <QWidget>

namespace {
const char* const kKey = "Settings/WindowPos";
}

std::optional<KWindowPlacement> KWindowPlacement::parse(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 10) {
        return std::nullopt;
    }
    long long v[10];
    for (int i = 0; i < 10; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toLongLong(&ok);
        const long long lo = i < 2 ? 0 : INT32_MIN;
        const long long hi = i < 2 ? UINT32_MAX : INT32_MAX;
        if (!ok || v[i] < lo || v[i] > hi) {
            return std::nullopt;
        }
    }
    KWindowPlacement p;
    p.flags = unsigned(v[0]);
    p.showCommand = unsigned(v[1]);
    p.minX = int(v[2]);
    p.minY = int(v[3]);
    p.maxX = int(v[4]);
    p.maxY = int(v[5]);
    p.left = int(v[6]);
    p.top = int(v[7]);
    p.right = int(v[8]);
    p.bottom = int(v[9]);
    return p;
}

QString KWindowPlacement::format() const {
    QStringList parts;
    for (long long v : {(long long)flags, (long long)showCommand, (long long)minX, (long long)minY,
                        (long long)maxX, (long long)maxY, (long long)left, (long long)top,
                        (long long)right, (long long)bottom}) {
        parts << QString::number(v);
    }
    return parts.join(QLatin1Char(','));
}

KWindowPlacement KWindowPlacement::of(const QWidget& window) {
    KWindowPlacement p;
    const bool maximized = window.isMaximized();
    p.flags = maximized ? kRestoreToMaximized : 0;
    p.showCommand =
        window.isMinimized() ? kShowMinimized : (maximized ? kShowMaximized : kShowNormal);
    const QRect r = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    p.left = r.left();
    p.top = r.top();
    p.right = r.right() + 1;
    p.bottom = r.bottom() + 1;
    return p;
}

void KWindowPlacement::applyTo(QWidget& window) const {
    const QRect r = normalRect();
    if (r.width() > 0 && r.height() > 0) {
        window.setGeometry(r);
    }
    if (maximized()) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
}

std::optional<KWindowPlacement> KWindowPlacement::load() {
    QSettings settings;
    if (!settings.contains(QLatin1String(kKey))) {
        return std::nullopt;
    }
    return parse(settings.value(QLatin1String(kKey)).toString());
}

void KWindowPlacement::save() const {
    QSettings settings;
    settings.setValue(QLatin1String(kKey), format());
}
