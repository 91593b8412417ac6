#include "edit/KMuscleUndo.h"

#include <algorithm>

#include "document/CPexaDoc.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"

KMuscleUndo::KMuscleUndo() = default;
KMuscleUndo::~KMuscleUndo() = default;

void KMuscleUndo::record(KBdlLayer* l, KBdlMuscle* m, int kind) {
    clear();
    if (!m) {
        return;
    }
    layer = l;
    muscle = m;
    savedCopy = std::make_unique<KBdlMuscle>(*m);
    undoKind = kind;
}

void KMuscleUndo::clear() {
    layer = nullptr;
    muscle = nullptr;
    savedCopy.reset();
    undoKind = None;
}

std::string KMuscleUndo::kindName(int kind) {
    switch (kind) {
    case None:
        return "";
    case Move:
        return "Move";
    case Resize:
        return "Resize";
    case ManualEdit:
        return "Manual Edit";
    case CurveEdit:
        return "Curve Edit";
    case Delete:
        return "Delete";
    default:
        return "unknown";
    }
}

std::string KMuscleUndo::menuText() const {
    return "Undo " + kindName(undoKind) + "\tCtrl+Z";
}

void KMuscleUndo::forget(const KBdlMuscle* m) {
    if (m && m == muscle) {
        clear();
    }
}

bool KMuscleUndo::validate(const CPexaDoc& doc) {
    if (isEmpty()) {
        return false;
    }
    const bool held = layer && doc.layerIndexOf(layer) >= 0 && layer->indexOf(muscle) >= 0;
    if (!held || !savedCopy) {
        clear();
        return false;
    }
    return true;
}

KBdlMuscle* KMuscleUndo::undo(CPexaDoc& doc) {
    if (!validate(doc)) {
        return nullptr;
    }
    KBdlMuscle* restored = muscle;
    *restored = *savedCopy;
    clear();
    doc.itemChanged(CPexaDoc::HintMuscle, restored);
    return restored;
}
