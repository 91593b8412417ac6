#pragma once
// One bone segment of the anatomy: a row of the "Segments" page.

#include <string>

#include "model/KBdlObject.h"

class KBdlSegment : public KBdlObject {
    K_DECLARE_SERIAL(KBdlSegment)
public:
    void serialize(KArchive& ar) override;

    std::string name = "(none)";
    float length = 1.0f;
    float lo = 0.15f;
    float hi = 0.15f;
};
