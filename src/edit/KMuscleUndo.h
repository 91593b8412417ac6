#pragma once
// The UV map view's single-level undo: a copy of one muscle taken before an edit, with
// the layer and muscle it belongs to and the kind of edit. Undo assigns the copy back.
// A record whose muscle has left the document is cleared, never applied.

#include <memory>
#include <string>

class CPexaDoc;
class KBdlLayer;
class KBdlMuscle;

class KMuscleUndo {
public:
    enum Kind : int { None = 0, Move = 1, Resize = 2, ManualEdit = 3, CurveEdit = 4, Delete = 5 };

    KMuscleUndo();
    ~KMuscleUndo();
    KMuscleUndo(const KMuscleUndo&) = delete;
    KMuscleUndo& operator=(const KMuscleUndo&) = delete;

    // Replaces the record with a copy of muscle as it is now.
    void record(KBdlLayer* layer, KBdlMuscle* muscle, int kind);
    void clear();
    bool isEmpty() const { return undoKind == None; }

    // "", "Move", "Resize", "Manual Edit", "Curve Edit", "Delete", else "unknown".
    static std::string kindName(int kind);
    // "Undo Move\tCtrl+Z" and so on.
    std::string menuText() const;

    // Clears the record when it refers to muscle (which is about to be deleted).
    void forget(const KBdlMuscle* muscle);
    // Clears the record when the document no longer holds its muscle in its layer.
    // True when a record remains.
    bool validate(const CPexaDoc& doc);
    // Assigns the saved copy to the recorded muscle, tells the document (hint 3) and
    // clears the record. Returns the restored muscle, or null when there was nothing
    // (left) to restore.
    KBdlMuscle* undo(CPexaDoc& doc);

    KBdlLayer* layer = nullptr;
    KBdlMuscle* muscle = nullptr;
    std::unique_ptr<KBdlMuscle> savedCopy;
    int undoKind = None;
};
