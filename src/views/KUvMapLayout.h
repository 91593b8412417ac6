#pragma once
// The UV map view's geometry without any painting: its settings, the cell and scroll
// sizes for a zoom, where the unit UV square lies in the window, the mapping between
// window pixels and UV, the zoom steps and the zoom text.

#include <QPointF>
#include <QRect>
#include <QString>

#include "document/CPexaDoc.h"
#include "edit/KUvMapSettings.h"

class KUvMapLayout {
public:
    KUvMapSettings settings;
    KGridInfo grid{3, 3, 1.0f, 1.0f, 1.0f};

    // Cell and total sizes from the settings and the grid description.
    void update();
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    int totalWidth() const { return totalWidth_; }
    int totalHeight() const { return totalHeight_; }

    // The rectangle of the unit UV square for a client area of this size, in scroll
    // area coordinates: right and bottom are the last lines of the map (inclusive), and
    // the map is centred when the client area is larger than the extent.
    struct MapRect {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    MapRect mapRect(int clientWidth, int clientHeight) const;

    static QPointF uvToWindow(const MapRect& r, double u, double v);
    static QPointF windowToUv(const MapRect& r, double x, double y);

    // Zoom steps: doubling / halving below 1, steps of 0.5 from 1 upwards.
    static float zoomedIn(float zoom);
    static float zoomedOut(float zoom);
    // "50.000 %" below 1, " 150 %" from 1 upwards.
    static QString zoomText(float zoom);

private:
    int cellWidth_ = 1;
    int cellHeight_ = 1;
    int totalWidth_ = 0;
    int totalHeight_ = 0;
};
