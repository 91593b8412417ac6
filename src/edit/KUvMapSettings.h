#pragma once
// What the user sets for a UV map view: zoom, cell size, grid ticks, drawing ratios and
// which parts of the map are drawn. Kept apart from the view so dialogs can edit it.

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
