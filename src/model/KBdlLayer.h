#pragma once
// A layer: an ordered group of muscles with an optional displacement image. The
// document sums its layers in list order; within one layer the highest bump and the
// deepest dent win instead of adding up.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/KBdlMuscle.h"
#include "model/KBdlObject.h"

class KImageMap;

class KBdlLayer : public KBdlElement {
    K_DECLARE_SERIAL(KBdlLayer)
public:
    KBdlLayer();
    ~KBdlLayer() override;
    KBdlLayer(const KBdlLayer&) = delete;
    KBdlLayer& operator=(const KBdlLayer&) = delete;

    // The muscle at that position, or none.
    KBdlMuscle* getMuscle(int index) const;
    // The position of muscle in the list, or -1.
    int indexOf(const KBdlMuscle* muscle) const;

    // The layer's height at (u, v): 0 when inactive; else the largest positive and the
    // smallest negative muscle displacement (as 32-bit floats) times scale, plus the
    // image term imageScale · sample/65535 · scale unless the image is background only.
    double displacement(double u, double v);
    // The same without side effects, after prepare(); bit-identical to displacement.
    void prepare();
    double displacementPrepared(double u, double v) const;

    // Takes the image when the layer has none (returns 0). Otherwise asks whether to
    // replace it: Yes takes the new one (0), No leaves map with the caller (1).
    int setImageMap(std::unique_ptr<KImageMap>& map);
    int releaseImageMap();
    KImageMap* getImageMap() const { return imageMap.get(); }
    // 1 when the layer has an image that is shown but gives no height.
    int isBackgroundImage() const { return imageMap && backgroundOnly != 0 ? 1 : 0; }

    // The image term at (u, v): imageScale · sample/65535 · scale, 0 without an image or
    // for a background-only image.
    double imageTerm(double u, double v) const;

    void serialize(KArchive& ar) override;

    static constexpr const char* kReplaceImageQuestion =
        "This layer already has an image map. Do you wish to replace it?";

    std::string name = "(new)";
    std::string description;
    int32_t active = 1;
    int32_t physical = 1;
    double scale = 1.0;
    std::vector<std::unique_ptr<KBdlMuscle>> muscles;
    int32_t textureIndex = 0;
    std::string textureName;
    std::unique_ptr<KImageMap> imageMap;
    // The image file the layer names but does not hold: set when a layer is read (the
    // document then loads the file, see document/KLayerImageFiles.h) and kept when the
    // file cannot be opened, so saving writes the reference again until the user
    // attaches or releases an image.
    std::string missingImageName;
    int32_t backgroundOnly = 0;
    float imageScale = 1.0f;

private:
    void storeMuscles(KArchive& ar) const;
    void loadMuscles(KArchive& ar);
};
