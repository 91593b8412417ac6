#pragma once
// The UV map view's geometry without any painting: its settings, the cell and scroll
// sizes for a zoom, where the unit UV square lies in the window, the mapping between
// window pixels and UV, the zoom steps and the zoom text.

#include <QPointF>
#include <QRect>
#include <QString>

#include "document/CPexaDoc.h"

struct KUvMapSettings {
    float zoom = 1.0f;
    int cellSize = 6; // pixels per grid sample at zoom 1 ("Width", 2..20)
    int margin = 15;  // pixels between the scroll area's edge and the map
    int tickStep = 2; // a grid line every tickStep samples ("Ticks  1/", 1..20)
    float uRatio = 1.0f;
    float vRatio = 1.0f;
    float aspect = 1.0f;
    bool showGrid = true;
    bool showLegend = true;
    bool showBackground = false;
    bool showInactiveLayers = false;
    bool showInactiveItems = false;
    bool drawTransparent = false;
    bool drawFullCurves = false;

    // Takes over drawing ratios; a ratio <= 0 becomes 1 and the aspect follows.
    void setRatios(float u, float v);
};

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
