#include "views/KMapItem.h"

#include <algorithm>

#include "document/CPexaDoc.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"

bool KMapItem::contains(const QPoint& p) const {
    return hasRegion() && hitPolygon.containsPoint(p, Qt::WindingFill);
}

QString KMapItem::displayName() const {
    const QString l = layer ? QString::fromStdString(layer->name) : QStringLiteral("(L?)");
    const QString m = muscle ? QString::fromStdString(muscle->name) : QStringLiteral("(M?)");
    return l + QStringLiteral(": ") + m;
}

namespace {

QPolygonF mapped(const KVertexList& list, const KUvMapLayout::MapRect& rect) {
    QPolygonF out;
    out.reserve(qsizetype(list.vertices.size()));
    for (const KVertex& p : list.vertices) {
        out.append(KUvMapLayout::uvToWindow(rect, p.x, p.y));
    }
    return out;
}

void buildRegion(KMapItem& item) {
    for (const QPointF& p : item.outline) {
        item.hitPolygon.append(QPoint(int(p.x()), int(p.y())));
    }
    if (item.hitPolygon.size() < 3) {
        item.hitPolygon.clear();
        item.box = QRect(QPoint(-1, -1), QPoint(-1, -1)); // left -1, top -1, right 0, bottom 0
        return;
    }
    item.box = item.hitPolygon.boundingRect();
}

} // namespace

std::vector<KMapItem> kBuildMapItems(CPexaDoc& doc, const std::vector<int>& layerSelection,
                                     const KUvMapSettings& settings,
                                     const KUvMapLayout::MapRect& rect) {
    std::vector<KMapItem> items;
    for (size_t k = 0; k < doc.layers.size(); ++k) {
        KBdlLayer* layer = doc.layers[k].get();
        if (!layerSelection.empty() && std::find(layerSelection.begin(), layerSelection.end(),
                                                 int(k)) == layerSelection.end()) {
            continue;
        }
        if (!layer->active && !settings.showInactiveLayers) {
            continue;
        }
        for (auto& m : layer->muscles) {
            if (!m->active && !settings.showInactiveItems) {
                continue;
            }
            KMapItem item;
            item.layer = layer;
            item.muscle = m.get();
            KVertexList center;
            KVertexList outline;
            m->samplePolyline(KBdlMuscle::CenterLine, center, settings.drawFullCurves);
            m->sampleOutline(outline, settings.drawFullCurves);
            item.centerLine = mapped(center, rect);
            item.outline = mapped(outline, rect);
            buildRegion(item);
            items.push_back(std::move(item));
        }
    }
    return items;
}

KMapItemStyle kMapItemStyle(const CPexaDoc& doc, const KMapItem& item, bool selected,
                            bool drawTransparent) {
    KMapItemStyle style;
    const int index = item.muscle && item.muscle->textureIndex != 0
                          ? item.muscle->textureIndex
                          : (item.layer ? item.layer->textureIndex : 0);
    style.color = doc.textureColor(index);
    const bool inactive =
        (item.muscle && !item.muscle->active) || (item.layer && !item.layer->active);
    if (!drawTransparent) {
        style.pen = inactive ? Qt::DotLine : Qt::SolidLine;
        style.fillWhite = true;
        return style;
    }
    style.fillWhite = false;
    if (selected) {
        style.pen = inactive ? Qt::DashDotDotLine : Qt::SolidLine;
    } else {
        style.pen = inactive ? Qt::DotLine : Qt::DashDotDotLine;
    }
    return style;
}
