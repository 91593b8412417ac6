#include "mesh/KItemMeshes.h"

#include <algorithm>

#include "model/KBdlBodyPart.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"

namespace {

// Sample counts of a muscle's item mesh. A resolution beyond what the muscle dialog offers
// (only a damaged or hostile file holds one) is meshed at the largest the dialog allows:
// a few such muscles would otherwise ask for gigabytes.
int32_t samples(int32_t resolution) {
    return std::min(resolution, KBdlMuscle::kMaxResolution) + 1;
}
int32_t samplesU(const KBdlMuscle& m) {
    return samples(m.resolutionU);
}
int32_t samplesV(const KBdlMuscle& m) {
    return samples(m.resolutionV);
}

void fill(KMeshGrid& grid, const KBdlMuscle& muscle, const KBdlLayer& layer, size_t layerIndex,
          const KSurfaceHeight& surface, const KBdlBodyPart& bodyPart) {
    kFillItemMesh(grid, muscle, layer, layerIndex, surface, bodyPart.shear);
}

} // namespace

bool kMuscleGetsItemMesh(const KBdlLayer& layer, const KBdlMuscle& muscle) {
    return layer.active == 1 && layer.physical == 1 && muscle.active == 1 &&
           samplesU(muscle) >= 2 && samplesV(muscle) >= 2;
}

KItemMeshList kBuildItemMeshes(KBdlBodyPart& bodyPart, const KSurfaceHeight::LayerList& layers,
                               int meshOption, const KTextureIndexFn& textureIndexFor) {
    KItemMeshList items;
    const KSurfaceHeight surface(&bodyPart, layers);
    for (size_t k = 0; k < layers.size(); ++k) {
        const KBdlLayer& layer = *layers[k];
        for (size_t m = 0; m < layer.muscles.size(); ++m) {
            const KBdlMuscle& muscle = *layer.muscles[m];
            if (!kMuscleGetsItemMesh(layer, muscle)) {
                continue;
            }
            auto grid = std::make_unique<KMeshGrid>();
            if (grid->create(samplesU(muscle), samplesV(muscle), KMeshGrid::TexCoordsArray) != 0) {
                continue;
            }
            grid->layerIndex = int32_t(k);
            grid->muscleIndex = int32_t(m);
            grid->meshOption = meshOption;
            grid->textureIndex = textureIndexFor(layer, muscle);
            fill(*grid, muscle, layer, k, surface, bodyPart);
            items.push_back(std::move(grid));
        }
    }
    return items;
}

namespace {

// The layer and muscle an item mesh was made for, or false when either is gone.
bool lookUp(const KMeshGrid& item, const KSurfaceHeight::LayerList& layers, KBdlLayer*& layer,
            KBdlMuscle*& muscle) {
    if (item.layerIndex < 0 || size_t(item.layerIndex) >= layers.size()) {
        return false;
    }
    layer = layers[size_t(item.layerIndex)].get();
    muscle = layer->getMuscle(item.muscleIndex);
    return muscle != nullptr;
}

int resizeTo(KMeshGrid& item, const KBdlMuscle& muscle) {
    return item.resize(samplesU(muscle), samplesV(muscle));
}

} // namespace

KMeshGrid* kUpdateItemMesh(KItemMeshList& items, const KBdlMuscle& changed, KBdlBodyPart& bodyPart,
                           const KSurfaceHeight::LayerList& layers,
                           const KTextureIndexFn& textureIndexFor, bool& allDiscarded) {
    allDiscarded = false;
    int k = -1;
    int m = -1;
    for (size_t i = 0; i < layers.size() && k < 0; ++i) {
        m = layers[i]->indexOf(&changed);
        if (m >= 0) {
            k = int(i);
        }
    }
    if (k < 0) {
        return nullptr;
    }
    KMeshGrid* target = nullptr;
    for (const auto& item : items) {
        if (item->layerIndex == k && item->muscleIndex == m) {
            target = item.get();
        }
    }
    if (!target) {
        return nullptr;
    }
    const KBdlLayer& layer = *layers[size_t(k)];
    if (resizeTo(*target, changed) != 0) {
        allDiscarded = true;
        return nullptr;
    }
    target->textureIndex = textureIndexFor(layer, changed);
    const KSurfaceHeight surface(&bodyPart, layers);
    fill(*target, changed, layer, size_t(k), surface, bodyPart);

    // Item meshes that rest on the changed layer are refilled on their next use.
    for (const auto& item : items) {
        if (item->layerIndex <= k) {
            continue;
        }
        KBdlLayer* itemLayer = nullptr;
        KBdlMuscle* itemMuscle = nullptr;
        if (!lookUp(*item, layers, itemLayer, itemMuscle) || resizeTo(*item, *itemMuscle) != 0) {
            allDiscarded = true;
            return nullptr;
        }
        item->textureIndex = textureIndexFor(*itemLayer, *itemMuscle);
    }
    return target;
}

bool kRefillItemMeshIfNeeded(KMeshGrid& item, KBdlBodyPart& bodyPart,
                             const KSurfaceHeight::LayerList& layers) {
    if ((item.getFlags() & KMeshGrid::RefillObjectPoints) == 0) {
        return true;
    }
    KBdlLayer* layer = nullptr;
    KBdlMuscle* muscle = nullptr;
    if (!lookUp(item, layers, layer, muscle)) {
        return false;
    }
    const KSurfaceHeight surface(&bodyPart, layers);
    fill(item, *muscle, *layer, size_t(item.layerIndex), surface, bodyPart);
    return true;
}
