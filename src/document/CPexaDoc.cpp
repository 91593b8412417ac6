#include "document/CPexaDoc.h"

#include <algorithm>
#include <cmath>

#include "image/KImageMapTga.h"
#include "mesh/KGridFill.h"
#include "platform/KUi.h"

CPexaDoc::CPexaDoc() : textures(KTextureList::defaults()) {
    bodyPart.setDocumentDefaults(uResolution, vResolution);
    for (const char* name : {"Bone Surfaces", "Exterior Muscles", "Epidermal Distortions"}) {
        auto layer = std::make_unique<KBdlLayer>();
        layer->name = name;
        layers.push_back(std::move(layer));
    }
    currentItem = ItemFirstLayer;
    rebuildGrid();
    setModified(false);
}

CPexaDoc::~CPexaDoc() = default;

// ---------------------------------------------------------------- changes

void CPexaDoc::documentChanged() {
    setModified(true);
    meshStale = 1;
    wholeGridStale_ = true;
    itemMeshes.clear();
    if (recalcMode == RecalcAuto) {
        updateAllViews(HintAll, nullptr);
    }
}

void CPexaDoc::itemChanged(int hint, KPersistent* object) {
    if (hint == HintAll) {
        documentChanged();
        return;
    }
    setModified(true);
    meshStale = 1;
    if (hint == HintMuscle && object && object->isKindOf(&KBdlMuscle::classRecord)) {
        KWaitCursor wait;
        auto* muscle = static_cast<KBdlMuscle*>(object);
        if (std::find(changedMuscles_.begin(), changedMuscles_.end(), muscle) ==
            changedMuscles_.end()) {
            changedMuscles_.push_back(muscle);
        }
        updateMuscleItem(muscle);
    } else {
        wholeGridStale_ = true;
        itemMeshes.clear();
    }
    switch (recalcMode) {
    case RecalcAuto:
        updateAllViews(hint, object);
        updateAllViews(HintAll, nullptr);
        break;
    case RecalcOnActivate:
    case RecalcManual:
        updateAllViews(hint, object);
        break;
    default:
        break;
    }
}

void CPexaDoc::updateMuscleItem(KBdlMuscle* muscle) {
    if (itemMeshes.empty()) {
        return;
    }
    bool discardAll = false;
    KMeshGrid* item =
        kUpdateItemMesh(itemMeshes, *muscle, bodyPart, layers, textureIndexFn(), discardAll);
    if (discardAll) {
        itemMeshes.clear();
        return;
    }
    if (item) {
        computeItemMesh(*item, true);
    }
}

void CPexaDoc::recalcNow() {
    const int32_t previous = recalcMode;
    recalcMode = RecalcAuto;
    documentChanged();
    recalcMode = previous;
}

// ---------------------------------------------------------------- grid

int32_t CPexaDoc::sampleCount(int32_t resolution, double from, double to) {
    return KClipRange::sampleCount(resolution, from, to, kMaxResolution);
}

void CPexaDoc::rebuildGrid() {
    meshGrid.reset();
    auto grid = std::make_unique<KMeshGrid>();
    const int32_t nu = sampleCount(uResolution, clip.uFrom, clip.uTo);
    const int32_t nv = sampleCount(vResolution, clip.vFrom, clip.vTo);
    // Only the size is set here: the samples are allocated when the surface is first
    // calculated, so opening a large document costs nothing until it is shown or exported.
    if (grid->plan(nu, nv) == 0) {
        meshGrid = std::move(grid);
    }
    documentChanged();
}

int CPexaDoc::calculateUV() {
    KWaitCursor wait;
    if (!meshGrid) {
        kUi().message("There is no existing mesh to calculate!", KUi::Icon::Warning);
        return 1;
    }
    if (meshGrid->allocateObjectPoints() != 0) {
        meshGrid.reset(); // as a grid that could not be created
        return 1;
    }
    if (!recalculateChangedMuscles()) {
        calculateWholeGrid();
    }
    changedMuscles_.clear();
    wholeGridStale_ = false;
    meshStale = 0;
    ++calculationCount;
    return 0;
}

void CPexaDoc::calculateWholeGrid() {
    KMeshGrid& grid = *meshGrid;
    grid.setFlags(KMeshGrid::AllPending);
    grid.meshOption = meshOption;
    bodyPart.uProfile.setResolution(grid.uCount() - 1);
    bodyPart.vProfile.setResolution(grid.vCount() - 1);
    const KGridFill fill(bodyPart, layers, clip, grid.uCount(), grid.vCount());
    fill.fill(grid.objectPoints());
    // Remember where every muscle reached, for recalculating after it changes.
    auto supports = fill.supports();
    calculated_.assign(layers.size(), {});
    size_t n = 0;
    for (size_t k = 0; k < layers.size(); ++k) {
        for (size_t m = 0; m < layers[k]->muscles.size(); ++m, ++n) {
            calculated_[k].push_back({supports[n].first, std::move(supports[n].second)});
        }
    }
    changedRegion = KGridRegion::all();
}

bool CPexaDoc::layersAsCalculated() const {
    if (calculated_.size() != layers.size()) {
        return false;
    }
    for (size_t k = 0; k < layers.size(); ++k) {
        const auto& muscles = layers[k]->muscles;
        const auto& seen = calculated_[k];
        if (muscles.size() != seen.size()) {
            return false;
        }
        for (size_t m = 0; m < muscles.size(); ++m) {
            if (muscles[m].get() != seen[m].muscle) {
                return false;
            }
        }
    }
    return true;
}

CPexaDoc::CalculatedMuscle* CPexaDoc::calculatedMuscle(const KBdlMuscle* muscle,
                                                       size_t* layerIndex) {
    for (size_t k = 0; k < calculated_.size(); ++k) {
        for (CalculatedMuscle& c : calculated_[k]) {
            if (c.muscle == muscle) {
                if (layerIndex) {
                    *layerIndex = k;
                }
                return &c;
            }
        }
    }
    return nullptr;
}

bool CPexaDoc::recalculateChangedMuscles() {
    if (wholeGridStale_ || changedMuscles_.empty() || !layersAsCalculated()) {
        return false;
    }
    KMeshGrid& grid = *meshGrid;
    const int32_t nu = grid.uCount();
    const int32_t nv = grid.vCount();
    KGridFill fill(bodyPart, layers, clip, nu, nv, KGridFill::PartialFill{});
    // The samples whose height may change: where each changed muscle reached before and
    // where it reaches now.
    KRowSpans region(nv);
    for (const KBdlMuscle* muscle : changedMuscles_) {
        size_t k = 0;
        CalculatedMuscle* c = calculatedMuscle(muscle, &k);
        if (!c) {
            return false;
        }
        region.unite(c->support);
        c->support = fill.supportOf(*layers[k], *muscle);
        region.unite(c->support);
    }
    // A muscle that reaches most of the grid (or cannot be bounded, and so reaches all
    // of it) is recalculated with everything else.
    if (region.sampleCount() > grid.sampleCount() / 4 * 3) {
        return false;
    }
    fill.restrictTo(region, [&](const KBdlMuscle& m) {
        const CalculatedMuscle* c = calculatedMuscle(&m);
        return !c || c->support.meets(region);
    });
    const KRowSpans changed = fill.fillRegion(grid.objectPoints());
    grid.objectPointsChanged(changed);
    // Positions change where object points did, normals one sample around them.
    changedRegion = changed.grown(nu).bounds();
    return true;
}

void CPexaDoc::ensureCalculated() {
    if (meshStale == 1) {
        calculateUV();
    }
}

bool CPexaDoc::computeMesh() {
    ensureCalculated();
    if (!meshGrid || !meshGrid->hasObjectPoints()) {
        return false;
    }
    if (meshGrid->getFlags() != 0) {
        return meshGrid->compute(baseShape, scalingU, scalingHeight, scalingV, bodyPart) == 0;
    }
    return true;
}

bool CPexaDoc::computeNormals() {
    return meshGrid && meshGrid->computeNormals() == 0;
}

void CPexaDoc::computeItemMesh(KMeshGrid& item, bool withNormals) {
    if (item.getFlags() & KMeshGrid::RecomputePositions) {
        item.compute(baseShape, scalingU, scalingHeight, scalingV, bodyPart);
    }
    if (withNormals) {
        item.computeNormals();
    }
}

KItemMeshList& CPexaDoc::ensureItemMeshes(bool withNormals) {
    if (itemMeshes.empty()) {
        itemMeshes = kBuildItemMeshes(bodyPart, layers, meshOption, textureIndexFn());
    }
    for (const auto& item : itemMeshes) {
        if (!kRefillItemMeshIfNeeded(*item, bodyPart, layers)) {
            // The list no longer matches the layers: build it again.
            itemMeshes = kBuildItemMeshes(bodyPart, layers, meshOption, textureIndexFn());
            break;
        }
    }
    for (const auto& item : itemMeshes) {
        computeItemMesh(*item, withNormals);
    }
    return itemMeshes;
}

// ---------------------------------------------------------------- lookups

KBdlLayer* CPexaDoc::layerAt(int index) const {
    if (index < 0 || size_t(index) >= layers.size()) {
        return nullptr;
    }
    return layers[size_t(index)].get();
}

KBdlMuscle* CPexaDoc::muscleAt(int layerIndex, int muscleIndex) const {
    const KBdlLayer* layer = layerAt(layerIndex);
    return layer ? layer->getMuscle(muscleIndex) : nullptr;
}

int CPexaDoc::layerIndexOf(const KBdlLayer* layer) const {
    for (size_t i = 0; i < layers.size(); ++i) {
        if (layers[i].get() == layer) {
            return int(i);
        }
    }
    return -1;
}

std::string CPexaDoc::layerName(int index) const {
    const KBdlLayer* layer = layerAt(index);
    return layer ? layer->name : "(unknown)";
}

std::string CPexaDoc::muscleName(int layerIndex, int muscleIndex) const {
    const KBdlLayer* layer = layerAt(layerIndex);
    if (!layer) {
        return "(bad layer id)";
    }
    const KBdlMuscle* muscle = layer->getMuscle(muscleIndex);
    return muscle ? muscle->name : "(unknown)";
}

std::string CPexaDoc::layerMenuLabel(int index) const {
    if (index < 0) {
        return "bad layer id";
    }
    const KBdlLayer* layer = layerAt(index);
    return layer ? layer->name : "...unused...";
}

int32_t CPexaDoc::textureIndexFor(const KBdlLayer* layer, const KBdlMuscle* muscle) const {
    if (muscle && muscle->textureIndex != 0) {
        return muscle->textureIndex;
    }
    if (layer && layer->textureIndex != 0) {
        return layer->textureIndex;
    }
    return defaultTextureIndex;
}

KTextureIndexFn CPexaDoc::textureIndexFn() const {
    return [this](const KBdlLayer& layer, const KBdlMuscle& muscle) {
        return textureIndexFor(&layer, &muscle);
    };
}

uint32_t CPexaDoc::textureColor(int index) const {
    const KTexture* t = textures.textureAt(index);
    return t ? t->packedAmbient() : 0x00FF00u;
}

bool CPexaDoc::layerPassesExportFilter(int layerIndex) const {
    if (meshType != Layered || exportLayerSelection.empty()) {
        return true;
    }
    return std::find(exportLayerSelection.begin(), exportLayerSelection.end(), layerIndex) !=
           exportLayerSelection.end();
}

void CPexaDoc::fillGridInfo(KGridInfo& info) const {
    info.uCount = uResolution;
    info.vCount = vResolution;
    info.uScaling = float(scalingU);
    info.vScaling = float(scalingV);
    info.anatomyLength = float(bodyPart.totalLength());
}

// ---------------------------------------------------------------- selections

void CPexaDoc::setExportLayerSelection(std::vector<int32_t> selection) {
    if (exportSelectionLocked()) {
        return;
    }
    exportLayerSelection = std::move(selection);
}

void CPexaDoc::setPreviewLayerSelection(std::vector<int32_t> selection, int32_t shadingType,
                                        int32_t layerMode) {
    previewLayers = std::move(selection);
    previewShadingType = shadingType;
    previewLayerMode = layerMode;
}

// ---------------------------------------------------------------- muscles and layers

KBdlLayer* CPexaDoc::addMuscleToLayer(KBdlLayer* layer, std::unique_ptr<KBdlMuscle>& muscle) {
    if (layers.empty()) {
        kUi().message("You must have at least one layer", KUi::Icon::Warning);
        return nullptr;
    }
    if (!layer) {
        layer = layers.front().get();
    } else if (layerIndexOf(layer) < 0) {
        return nullptr;
    }
    layer->muscles.push_back(std::move(muscle));
    return layer;
}

bool CPexaDoc::removeMuscle(KBdlMuscle* muscle) {
    for (const auto& layer : layers) {
        const int i = layer->indexOf(muscle);
        if (i >= 0) {
            layer->muscles.erase(layer->muscles.begin() + i);
            return true;
        }
    }
    return false;
}

KSurfaceHeight::LayerList CPexaDoc::takeLayers() {
    itemMeshes.clear();
    return std::move(layers);
}

void CPexaDoc::restoreLayers(KSurfaceHeight::LayerList list) {
    layers = std::move(list);
    documentChanged();
}

// ---------------------------------------------------------------- layer menu

std::string CPexaDoc::layerSlotText(int slot) const {
    return size_t(slot) < layers.size() && slot >= 0 ? layerMenuLabel(slot) : "(unused)";
}

bool CPexaDoc::layerSlotEnabled(int slot) const {
    return slot >= 0 && size_t(slot) < layers.size();
}

bool CPexaDoc::layerSlotChecked(int slot) const {
    return layerSlotEnabled(slot) && currentItem == slot + ItemFirstLayer;
}

bool CPexaDoc::moreLayersEnabled() const {
    return layers.size() > size_t(kLayerSlots);
}

int CPexaDoc::moreLayersPreselection() const {
    return currentItem >= ItemFirstLayer + kLayerSlots ? currentItem - ItemFirstLayer : kLayerSlots;
}

// ---------------------------------------------------------------- image import

bool CPexaDoc::importImage(int k, const std::string& path) {
    return importImageAllowed(k) && importImageFile(k, path);
}

bool CPexaDoc::importImageAllowed(int k) {
    if (k + ItemFirstLayer != currentItem &&
        !kUi().askOkCancel("The requested import layer is different from the current 'active' "
                           "layer!\n\nImport the image to the requested layer anyways?",
                           true)) {
        return false;
    }
    if (k < 0) {
        const int item = k + ItemFirstLayer;
        const char* text = item == ItemAnatomy ? "Cannot attach an image map to the Anatomy layer."
                           : item == ItemShape
                               ? "Cannot attach an image map to the Shape layer."
                               : "No suitable layer is currently selected. Please select one of "
                                 "the User layers";
        kUi().message(text, KUi::Icon::Warning);
        return false;
    }
    return true;
}

bool CPexaDoc::importImageFile(int k, const std::string& path) {
    auto image = std::make_unique<KImageMapTga>(path);
    if (image->loadStatus != KImageMapTga::LoadOk) {
        kUi().message("Import TGA failed!", KUi::Icon::Error);
        return false;
    }
    imageResolutionU = image->width();
    imageResolutionV = image->height();
    KBdlLayer* layer = layerAt(k);
    if (!layer) {
        kUi().message("Can't locate layer: (" + std::to_string(k) + ") Discarding image map!",
                      KUi::Icon::Warning);
        return false;
    }
    std::unique_ptr<KImageMap> map = std::move(image);
    const bool attached = layer->setImageMap(map) == 0;
    nameNextEdit("Import Image");
    if (attached) {
        setModified(true);
    }
    documentChanged();
    return attached;
}
