#pragma once
// A self-contained model: the persistent state of one object (name, description, mesh
// settings, body part, layers, df3 export options) held in an object instead of in the
// application's document, with a mesh grid of its own. It reads and writes the stream
// layout of a document file, so a model moves between a document file and any archive.

#include <cstdint>
#include <memory>
#include <string>

#include "document/KFeoPMedia.h"
#include "mesh/KMeshGrid.h"
#include "mesh/KSurfaceHeight.h"
#include "model/KBdlBodyPart.h"
#include "model/KBdlLayer.h"
#include "platform/KObject.h"

// The block of preview values a document file keeps in front of the object's name: nine
// orientation floats, then A (32-bit unsigned), B (3 floats), C (int), D (3 floats), E
// (int). A model keeps them only to write them back.
struct KMdlPreviewBlock {
    float orientation[9] = {};
    uint32_t valueA = 0;
    float vectorB[3] = {};
    int32_t valueC = 0;
    float vectorD[3] = {};
    int32_t valueE = 0;
};

class KMdlDoc : public KObject {
    K_DECLARE_SERIAL(KMdlDoc)
public:
    static constexpr uint32_t kMagic = 0x51524C4D; // "QRLM", most significant byte first
    static constexpr int32_t kVersion = 10;
    static constexpr int32_t kMaxResolution = 512;

    // The defaults of a new model, then its grid (21 x 21 samples).
    KMdlDoc();
    ~KMdlDoc() override;
    KMdlDoc(const KMdlDoc&) = delete;
    KMdlDoc& operator=(const KMdlDoc&) = delete;

    // Storing writes the current layout. Loading reads what the stored version holds:
    // 1 to 3 nothing after the version, 4 and 5 up to the layers, others everything; the
    // grid is rebuilt after a read that got past the version.
    void serialize(KArchive& ar) override;

    // A new grid for the resolutions and clip ranges; none when it cannot be created.
    void rebuildGrid();
    // Samples along one direction: trunc(min(r, r·to + 1)) − trunc(r·from) + 1, kept
    // within 1 .. kMaxResolution + 1 whatever the range holds.
    static int32_t sampleCount(int32_t resolution, double from, double to);

    std::string objectName = "(untitled)";
    std::string description = "(Quorl object: add your name/object description/etc. here)";
    int32_t uResolution = 20;
    int32_t vResolution = 20;
    int32_t baseShape = 1; // Conic
    double scalingU = 1.0;
    double scalingV = 1.0;
    double scalingHeight = 1.0;
    KClipRange clip;
    int32_t meshType = 0;
    int32_t imageResolutionU = 0;
    int32_t imageResolutionV = 0;
    int32_t reserved = 0;
    int32_t interpolateHeights = 0;
    int32_t currentItem = 3;
    KMdlPreviewBlock preview;
    KSurfaceHeight::LayerList layers;
    KBdlBodyPart bodyPart;
    std::unique_ptr<KMeshGrid> meshGrid;
    KFeoPMedia feoPMedia;

private:
    void setBodyPartDefaults();
    void storeFields(KArchive& ar);
    void loadFields(KArchive& ar);
};
