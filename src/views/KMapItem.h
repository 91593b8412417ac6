#pragma once
// What the UV map view draws for one muscle: its center line and outline in window
// coordinates, the hit region and its box, and the layer and muscle it stands for
// (owned by the document; an item is valid until the next paint or document change).

#include <QPolygonF>
#include <QRect>
#include <QRegion>
#include <QString>
#include <vector>

#include "views/KUvMapLayout.h"

class CPexaDoc;
class KBdlLayer;
class KBdlMuscle;

struct KMapItem {
    KBdlLayer* layer = nullptr;
    KBdlMuscle* muscle = nullptr;
    QPolygonF centerLine;
    QPolygonF outline;
    QPolygon hitPolygon;     // the outline truncated to whole pixels
    QRect box{-1, -1, 2, 2}; // (-1, -1, 0, 0) as left, top, right, bottom when empty

    bool hasRegion() const { return hitPolygon.size() >= 3; }
    bool contains(const QPoint& p) const;
    // "layer: muscle", with "(L?)" and "(M?)" for a missing layer or muscle.
    QString displayName() const;
};

// Which user layers an item list takes: the selection (empty: all) and the view's
// inactive-layer and inactive-item switches.
std::vector<KMapItem> kBuildMapItems(CPexaDoc& doc, const std::vector<int>& layerSelection,
                                     const KUvMapSettings& settings,
                                     const KUvMapLayout::MapRect& rect);

// How an item is drawn.
struct KMapItemStyle {
    Qt::PenStyle pen = Qt::SolidLine;
    bool fillWhite = true;
    uint32_t color = 0x00FF00; // packed: red in the low byte
};
KMapItemStyle kMapItemStyle(const CPexaDoc& doc, const KMapItem& item, bool selected,
                            bool drawTransparent);
