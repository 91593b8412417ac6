#pragma once
// Options of the POV-Ray media density (df3) export. The only export options kept in the
// document file: seven 32-bit values.

#include <cstdint>

#include "platform/KObject.h"

class KFeoPMedia : public KObject {
    K_DECLARE_SERIAL(KFeoPMedia)
public:
    enum Density : int32_t { BaseValue = 0, DensityU = 1, DensityV = 2, DensityW = 3 };

    // Written in place by the document; reads its values unless the schema it is handed
    // (the document's format version) is 1 to 5, which had no such record.
    void serialize(KArchive& ar) override;

    int32_t sizeX = 10;
    int32_t sizeY = 10;
    int32_t sizeZ = 10;
    int32_t densitySource = BaseValue;
    int32_t useItemUvw = 1;
    float baseValue = 0.25f;
    float scale = 1.0f;
};
