#pragma once
// The document: one object (anatomy, user layers, the mesh computed from them), its
// texture list, export options and the 3D preview settings that travel with the file.
// It decides when the mesh is recomputed (the recalc mode) and tells its views what
// changed through update hints.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/KFeoMegaPov.h"
#include "document/KFeoPMedia.h"
#include "document/KFeoRib.h"
#include "document/KTextureList.h"
#include "mesh/KGridRegion.h"
#include "mesh/KItemMeshes.h"
#include "mesh/KMeshGrid.h"
#include "mesh/KRowSpans.h"
#include "mesh/KSurfaceHeight.h"
#include "model/KBdlBodyPart.h"
#include "model/KBdlLayer.h"
#include "platform/KDocumentBase.h"

class KArchive;

// The 3D preview's settings stored in the document file.
struct KPreviewState {
    float translate[3] = {0, 0, 0};
    float rotate[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    uint32_t delay = 0; // milliseconds
    float spin[3] = {0, 10, 0};
    int32_t projection = 0; // 0 perspective, 1 orthographic
    float nearPlane = 1.0f;
    float farPlane = 40.0f;
    float fieldOfView = 45.0f;
    int32_t leftHanded = 1;
};

// The export option flags shared by the export dialogs.
struct KExportFlags {
    int32_t normals = 0;
    int32_t uv = 0; // 2: take uv from the item meshes
    int32_t useItemUv = 1;
    int32_t includeTextureNames = 0;
    int32_t perVertex = 0;
    int32_t invertNormals = 0;
    int32_t reverseWinding = 0;
    int32_t mirrorZ = 1;
};

// What the UV map view needs of the grid.
struct KGridInfo {
    int32_t uCount = 0;
    int32_t vCount = 0;
    float uScaling = 1.0f;
    float vScaling = 1.0f;
    float anatomyLength = 1.0f;
};

class CPexaDoc : public KDocumentBase {
public:
    // HintReplacing goes out before an undo or redo replaces the layers, muscles and the
    // anatomy's content: views let go of every pointer into them (they may remember
    // positions). HintReplaced follows once the new content is in place, before hint 0.
    enum Hint : int {
        HintAll = 0,
        HintLayer = 2,
        HintMuscle = 3,
        HintStoring = 4,
        HintReplacing = 5,
        HintReplaced = 6
    };
    enum RecalcMode : int32_t { RecalcAuto = 0, RecalcOnActivate = 1, RecalcManual = 2 };
    enum Item : int32_t { ItemAnatomy = 1, ItemShape = 2, ItemFirstLayer = 3 };
    enum MeshType : int32_t { Skinned = 0, Layered = 1 };
    enum BaseShape : int32_t { Planar = 0, Conic = 1, Spheric = 2, Disc = 3, SuperQuad = 100 };
    static constexpr int kLayerSlots = 15;
    static constexpr int32_t kMaxResolution = 512;

    // A new document: the default anatomy, three user layers, eleven textures, a 51 x 51
    // sample grid.
    CPexaDoc();
    ~CPexaDoc() override;

    // ---- changes and recalculation
    // Structural change: modified, mesh stale, item meshes discarded; hint 0 in Auto mode.
    void documentChanged();
    // Change of one layer (hint 2) or one muscle (hint 3); hint 0 is documentChanged.
    void itemChanged(int hint, KPersistent* object);
    // Object > Recalc > Now: documentChanged under Auto mode, the mode kept.
    void recalcNow();
    // A new grid for the current resolution and clip ranges, then documentChanged.
    void rebuildGrid();
    // Samples along one direction for a resolution and clip range.
    static int32_t sampleCount(int32_t resolution, double from, double to);
    // Fills the object grid if the mesh is stale.
    void ensureCalculated();
    // Fills the object grid; 1 when there is no grid (reported). When only single
    // muscles changed (hint 3) since the last calculation, only the samples they reach,
    // before or after the change, are filled again.
    int calculateUV();
    // Fills (when stale) and maps the grid into 3D; false without a usable grid.
    bool computeMesh();
    // Computes the object grid's normals (after computeMesh).
    bool computeNormals();
    // The item meshes, built when the list is empty, refilled and mapped into 3D where
    // their flags ask for it. Optionally with normals.
    KItemMeshList& ensureItemMeshes(bool withNormals = false);
    void discardItemMeshes() { itemMeshes.clear(); }

    // ---- lookups
    KBdlLayer* layerAt(int index) const;
    KBdlMuscle* muscleAt(int layerIndex, int muscleIndex) const;
    int layerIndexOf(const KBdlLayer* layer) const;
    std::string layerName(int index) const;
    std::string muscleName(int layerIndex, int muscleIndex) const;
    // The layer's label in Object > Modify Items: its name, "...unused..." for an empty
    // slot, "bad layer id" for a negative index.
    std::string layerMenuLabel(int index) const;
    int32_t textureIndexFor(const KBdlLayer* layer, const KBdlMuscle* muscle) const;
    // The packed ambient colour of a texture entry; pure green without textures.
    uint32_t textureColor(int index) const;
    bool layerPassesExportFilter(int layerIndex) const;
    void fillGridInfo(KGridInfo& info) const;

    // ---- selections
    // Ignored while the selection is locked (during an export command).
    void setExportLayerSelection(std::vector<int32_t> selection);
    // Whether some KExportSelectionLock holds the export layer selection.
    bool exportSelectionLocked() const { return exportSelectionLocks_ > 0; }
    void setPreviewLayerSelection(std::vector<int32_t> selection, int32_t shadingType,
                                  int32_t layerMode);

    // ---- muscles and layers
    // Appends the muscle to layer (the first layer when null). Returns the layer used,
    // or null (the muscle is not taken) when there are no layers or layer is not ours.
    KBdlLayer* addMuscleToLayer(KBdlLayer* layer, std::unique_ptr<KBdlMuscle>& muscle);
    // Removes the muscle from the first layer holding it and deletes it.
    bool removeMuscle(KBdlMuscle* muscle);
    // Layer list editing ("Define Layers..."): the list moves out and back.
    KSurfaceHeight::LayerList takeLayers();
    void restoreLayers(KSurfaceHeight::LayerList layers);

    // ---- Object > Modify Items: the fifteen layer slots and "More Layers..."
    std::string layerSlotText(int slot) const;
    bool layerSlotEnabled(int slot) const;
    bool layerSlotChecked(int slot) const;
    bool moreLayersEnabled() const;
    // The entry "Select User Layer" starts on.
    int moreLayersPreselection() const;

    // File > Import > TGA: attaches the image file at path to user layer k, with the
    // questions and messages of the command. True when the image was attached.
    bool importImage(int k, const std::string& path);
    // Its two halves, for a front end that asks for the file in between: the question
    // about a layer other than the current item and the refusal of a non-user layer
    // (false: the command ends), then loading and attaching the file.
    bool importImageAllowed(int k);
    bool importImageFile(int k, const std::string& path);

    // ---- storage
    static constexpr uint32_t kMagic = 0x51524C4D; // "QRLM", most significant byte first
    static constexpr int32_t kFormatVersion = 10;
    // Writes the document in the current format (sends hint 4 first).
    void store(KArchive& ar);
    // Reads a document into this freshly constructed one; throws KArchiveError.
    void load(KArchive& ar);
    // The fields the file holds, without telling the views; the preview settings are
    // written as their defaults when withPreview is false (they are view state).
    void writeContent(KArchive& ar, bool withPreview);
    // Reads what writeContent wrote over the current content, without rebuilding the
    // grid. openImageFiles false leaves every layer image named but unloaded.
    void readContent(KArchive& ar, bool openImageFiles);

    // ---- fields
    std::string objectName = "(untitled)";
    std::string description = "(Quorl object: add your name/object description/etc. here)";
    int32_t uResolution = 50;
    int32_t vResolution = 50;
    int32_t baseShape = Conic;
    double scalingU = 1.0;
    double scalingV = 1.0;
    double scalingHeight = 1.0;
    KClipRange clip;
    int32_t meshType = Skinned;
    int32_t meshOption = 0;
    int32_t recalcMode = RecalcAuto;
    int32_t imageResolutionU = 100;
    int32_t imageResolutionV = 100;
    int32_t reserved = 0;
    int32_t interpolateHeights = 0;
    int32_t currentItem = ItemFirstLayer;

    KBdlBodyPart bodyPart;
    KSurfaceHeight::LayerList layers;
    std::unique_ptr<KMeshGrid> meshGrid;
    int32_t meshStale = 1;
    // Counts the calculations of the object grid; changedRegion holds the samples the
    // latest one changed (the whole grid after a full calculation). A view that saw the
    // previous calculation refreshes only that region; any other view refreshes all.
    uint64_t calculationCount = 0;
    KGridRegion changedRegion;
    KItemMeshList itemMeshes;

    KExportFlags exportFlags;
    std::vector<int32_t> exportLayerSelection;
    KFeoPMedia feoPMedia;
    KFeoMegaPov feoMegaPov;
    KFeoRib feoRib;

    KTextureList textures;
    int32_t defaultTextureIndex = 0;

    KPreviewState preview;
    int32_t previewShadingType = 3; // 0 Point, 1 Wire, 2 Flat, 3 Smooth
    int32_t previewLayerMode = 0;
    std::vector<int32_t> previewLayers;
    int32_t anatomySheetSetting = 0; // the anatomy sheet's page when it was last closed
    // The muscle the layer dialogs' "Copy" put aside; shared by all layers of the document.
    std::unique_ptr<KBdlMuscle> copiedMuscle;

private:
    friend class KExportSelectionLock;

    // The muscles of one layer as the latest calculation saw them, each with the samples
    // it could lift then.
    struct CalculatedMuscle {
        const KBdlMuscle* muscle;
        KRowSpans support;
    };

    KTextureIndexFn textureIndexFn() const;
    void calculateWholeGrid();
    // Recalculates the samples the changed muscles reach; false (nothing done) when the
    // document has changed in any other way since the latest calculation.
    bool recalculateChangedMuscles();
    bool layersAsCalculated() const;
    CalculatedMuscle* calculatedMuscle(const KBdlMuscle* muscle, size_t* layerIndex = nullptr);
    void computeItemMesh(KMeshGrid& item, bool withNormals);
    void updateMuscleItem(KBdlMuscle* muscle);

    // What the latest calculation of the object grid was made from, per layer in list
    // order; whether anything but single muscles changed since; the muscles that did.
    std::vector<std::vector<CalculatedMuscle>> calculated_;
    bool wholeGridStale_ = true;
    std::vector<const KBdlMuscle*> changedMuscles_;

    // Held by KExportSelectionLock objects only; the selection is locked while any is
    // alive.
    int exportSelectionLocks_ = 0;
};
