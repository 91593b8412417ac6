#pragma once
// The item meshes: one small grid per active muscle of every active, physical layer,
// filled from the muscle's own patch resting on the layers below it.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "mesh/KMeshGrid.h"
#include "mesh/KSurfaceHeight.h"

class KBdlBodyPart;
class KBdlLayer;
class KBdlMuscle;

using KItemMeshList = std::vector<std::unique_ptr<KMeshGrid>>;
// The texture index an item mesh gets: the muscle's, else the layer's, else a default.
using KTextureIndexFn = std::function<int32_t(const KBdlLayer&, const KBdlMuscle&)>;

// Whether a muscle of a layer gets an item mesh.
bool kMuscleGetsItemMesh(const KBdlLayer& layer, const KBdlMuscle& muscle);

// Builds and fills the item meshes in layer order, then muscle order. Positions are not
// computed; a grid whose size cannot be allocated is left out (the grid reports it).
KItemMeshList kBuildItemMeshes(KBdlBodyPart& bodyPart, const KSurfaceHeight::LayerList& layers,
                               int meshOption, const KTextureIndexFn& textureIndexFor);

// Refills the item mesh of one changed muscle and marks the meshes that rest on its
// layer for refilling. Returns the refilled mesh (the caller computes its positions and
// normals), or null when the muscle has no item mesh. Sets allDiscarded when the list
// no longer lines up with the layers, in which case the caller discards every item mesh.
KMeshGrid* kUpdateItemMesh(KItemMeshList& items, const KBdlMuscle& changed, KBdlBodyPart& bodyPart,
                           const KSurfaceHeight::LayerList& layers,
                           const KTextureIndexFn& textureIndexFor, bool& allDiscarded);

// Refills an item mesh whose flags ask for it (bit 1). Returns false when its muscle is
// no longer where the mesh says.
bool kRefillItemMeshIfNeeded(KMeshGrid& item, KBdlBodyPart& bodyPart,
                             const KSurfaceHeight::LayerList& layers);
