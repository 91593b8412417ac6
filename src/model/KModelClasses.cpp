#include "model/KModelClasses.h"

#include "model/KBdlCurve.h"
#include "model/KBdlMuscle.h"
#include "model/KBdlObject.h"
#include "model/KBdlSegment.h"
#include "model/KObject.h"
#include "model/KVertex.h"

void KRegisterModelClasses() {
    for (const KRuntimeClass* c :
         {&KObject::classRecord, &KVertexObject::classRecord, &KBdlObject::classRecord,
          &KBdlShape::classRecord, &KBdlElement::classRecord, &KBdlSegment::classRecord,
          &KBdlCurve::classRecord, &KBdlMuscle::classRecord}) {
        KRuntimeClass::registerClass(c);
    }
}
