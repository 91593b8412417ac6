#include "views/KUvMapLayout.h"

#include <algorithm>

void KUvMapLayout::update() {
    const double uScaling = grid.uScaling != 0 ? grid.uScaling : 1.0;
    const double factor = double(grid.anatomyLength) * grid.vScaling / uScaling * settings.aspect;
    cellWidth_ = std::max(1, int(settings.cellSize * settings.zoom));
    cellHeight_ = std::max(1, int(settings.cellSize * factor * settings.zoom));
    totalWidth_ = std::max(0, grid.uCount) * cellWidth_ + 2 * settings.margin + 1;
    totalHeight_ = std::max(0, grid.vCount) * cellHeight_ + 2 * settings.margin + 1;
}

KUvMapLayout::MapRect KUvMapLayout::mapRect(int clientWidth, int clientHeight) const {
    MapRect r{settings.margin, settings.margin, totalWidth_ - settings.margin,
              totalHeight_ - settings.margin};
    if (clientWidth > totalWidth_) {
        const int dx = (clientWidth - totalWidth_) / 2;
        r.left += dx;
        r.right += dx;
    }
    if (clientHeight > totalHeight_) {
        const int dy = (clientHeight - totalHeight_) / 2;
        r.top += dy;
        r.bottom += dy;
    }
    return r;
}

QPointF KUvMapLayout::uvToWindow(const MapRect& r, double u, double v) {
    return {r.left + u * (r.right - r.left), r.bottom - v * (r.bottom - r.top)};
}

QPointF KUvMapLayout::windowToUv(const MapRect& r, double x, double y) {
    const double w = r.right - r.left;
    const double h = r.bottom - r.top;
    return {w != 0 ? (x - r.left) / w : 0.0, h != 0 ? (r.bottom - y) / h : 0.0};
}

float KUvMapLayout::zoomedIn(float zoom) {
    return zoom < 1.0f ? zoom * 2.0f : zoom + 0.5f;
}

float KUvMapLayout::zoomedOut(float zoom) {
    return zoom < 1.0f ? zoom * 0.5f : zoom - 0.5f;
}

QString KUvMapLayout::zoomText(float zoom) {
    const double percent = double(zoom) * 100.0;
    const QString number = zoom < 1.0f ? QString::number(percent, 'f', 3)
                                       : QStringLiteral(" ") + QString::number(percent, 'f', 0);
    return number + QStringLiteral(" %");
}
