#include "document/KCoreClasses.h"

#include "document/KFeoPMedia.h"
#include "document/KMdlDoc.h"
#include "document/KTexture.h"
#include "model/KModelClasses.h"

void KRegisterCoreClasses() {
    KRegisterModelClasses();
    KRuntimeClass::registerClass(&KTexture::classRecord);
    KRuntimeClass::registerClass(&KFeoPMedia::classRecord);
    KRuntimeClass::registerClass(&KMdlDoc::classRecord);
}
