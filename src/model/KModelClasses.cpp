#include "model/KModelClasses.h"

#include "model/KBdlBodyPart.h"
#include "model/KBdlCurve.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"
#include "model/KBdlObject.h"
#include "model/KBdlSegment.h"
#include "model/KColorMap.h"
#include "model/KShapeSuperQ.h"
#include "model/KVertex.h"
#include "platform/KObject.h"

void KRegisterModelClasses() {
    for (const KRuntimeClass* c :
         {&KObject::classRecord, &KVertexObject::classRecord, &KBdlObject::classRecord,
          &KBdlShape::classRecord, &KBdlElement::classRecord, &KBdlSegment::classRecord,
          &KBdlCurve::classRecord, &KBdlBodyPart::classRecord, &KColorMap::classRecord,
          &KColorMapEntry::classRecord, &KShapeSuperQ::classRecord, &KBdlMuscle::classRecord,
          &KBdlLayer::classRecord}) {
        KRuntimeClass::registerClass(c);
    }
}
