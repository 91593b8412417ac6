#pragma once
// Pieces the export options dialogs share: the uv flag they leave in the document and the
// orientation switches, which carry the same texts in every dialog that offers them
// because they set the same document flags.

#include <cstdint>

class CPexaDoc;
class QCheckBox;
class QWidget;

// The uv flag a dialog leaves: 0 with uv off; 2 (uv from the item meshes) when the mesh
// type is Layered and the dialog's item-uv condition holds; otherwise 1.
int32_t kExportUvFlag(const CPexaDoc& doc, bool uvOn, bool itemCondition);

// "Invert Normals", "Reverse Polygon Winding" and "Mirror Z (convert to right-handed)",
// checked as the document's export flags are.
QCheckBox* kInvertNormalsCheck(QWidget* parent, const CPexaDoc& doc);
QCheckBox* kReverseWindingCheck(QWidget* parent, const CPexaDoc& doc);
QCheckBox* kMirrorZCheck(QWidget* parent, const CPexaDoc& doc);
