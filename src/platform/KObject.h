#pragma once
// Root of the modeller's own serialisable objects.

#include "platform/KArchive.h"
#include "platform/KRuntimeClass.h"

class KObject : public KPersistent {
    K_DECLARE_SERIAL(KObject)
public:
    void serialize(KArchive& ar) override;
};
