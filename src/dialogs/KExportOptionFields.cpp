#include "dialogs/KExportOptionFields.h"

#include <QCheckBox>

#include "document/CPexaDoc.h"
#include "gui/KDialogFields.h"

int32_t kExportUvFlag(const CPexaDoc& doc, bool uvOn, bool itemCondition) {
    if (!uvOn) {
        return 0;
    }
    return doc.meshType == CPexaDoc::Layered && itemCondition ? 2 : 1;
}

QCheckBox* kInvertNormalsCheck(QWidget* parent, const CPexaDoc& doc) {
    return kFlagCheck(parent, QObject::tr("Invert Normals"), doc.exportFlags.invertNormals);
}

QCheckBox* kReverseWindingCheck(QWidget* parent, const CPexaDoc& doc) {
    return kFlagCheck(parent, QObject::tr("Reverse Polygon Winding"),
                      doc.exportFlags.reverseWinding);
}

QCheckBox* kMirrorZCheck(QWidget* parent, const CPexaDoc& doc) {
    return kFlagCheck(parent, QObject::tr("Mirror Z (convert to right-handed)"),
                      doc.exportFlags.mirrorZ);
}
