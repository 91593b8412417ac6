#pragma once
// The anatomy bend: the object is a chain of bone segments of given lengths; each ring
// of the grid (one v) is turned by the joint angles accumulated along the chain and
// moved onto the bent chain. The tables are built once from the body part; apply() is
// then a pure function of one position, so samples can be bent in any order.
//
// Type1 turns a ring by the blended cumulative angle of its place on the chain and
// moves it by a linear blend of the chain points. Type 2 turns it joint by joint and
// moves rings inside a joint's blend zone along an arc around the joint.

#include <vector>

#include "model/KColorMap.h"
#include "model/KVertex.h"

class KBdlBodyPart;

class KAnatomyBend {
public:
    enum Status {
        Inactive,         // fewer than two segments or joints: nothing is bent
        Ready,            // tables built
        JointEntryMissing // a Type 2 joint could not be placed on the chain
    };
    static constexpr const char* kJointEntryMessage =
        "BendType2: Failed to locate Joint Entry!\nUse BendType1!";

    explicit KAnatomyBend(const KBdlBodyPart& bodyPart);

    Status status() const { return status_; }
    // The position of a sample whose object point has v, bent; vScale is the document's
    // "V" factor. Positions are returned unchanged unless the status is Ready.
    KVertex apply(const KVertex& position, double v, double vScale) const;

    // The tables, for inspection: rotations (blend entries first, then one entry per
    // segment), chain offsets (one entry per segment) and Type 2's joint arcs.
    const KColorMap& rotationTable() const { return rotations_; }
    const KColorMap& offsetTable() const { return offsets_; }
    const KColorMap& jointTable() const { return joints_; }
    double totalLength() const { return total_; }

private:
    void buildTables(const KBdlBodyPart& bodyPart);
    bool buildJointTable();
    KVertex applyType1(KVertex position, double t, double vScale) const;
    KVertex applyType2(KVertex position, double t, double vScale) const;

    Status status_ = Inactive;
    bool type2_ = false;
    double total_ = 0.0;
    int blendCount_ = 0;
    KColorMap rotations_;
    KColorMap offsets_;
    KColorMap joints_;
    // For each joint entry: the chain position at its low end (the first term of the
    // Type 2 offset).
    std::vector<KVertex> jointStarts_;
};
