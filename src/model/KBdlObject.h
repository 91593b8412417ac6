#pragma once
// The versioned body-definition family. KBdlObject's step hands the stored schema back
// to the archive so the subclass (and the objects it writes in place) can read with it.

#include "platform/KObject.h"

class KBdlObject : public KObject {
    K_DECLARE_SERIAL(KBdlObject)
public:
    static constexpr uint32_t kSchema = 10;
    void serialize(KArchive& ar) override;
};

// Base of the anatomy body part.
class KBdlShape : public KBdlObject {
    K_DECLARE_SERIAL(KBdlShape)
};

// Base of curves, layers and muscles.
class KBdlElement : public KBdlObject {
    K_DECLARE_SERIAL(KBdlElement)
};
