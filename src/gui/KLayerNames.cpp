#include "gui/KLayerNames.h"

#include "document/CPexaDoc.h"
#include "model/KBdlLayer.h"

QStringList kLayerNames(const CPexaDoc& doc) {
    QStringList names;
    names.reserve(qsizetype(doc.layers.size()));
    for (const auto& layer : doc.layers) {
        names << QString::fromStdString(layer->name);
    }
    return names;
}
