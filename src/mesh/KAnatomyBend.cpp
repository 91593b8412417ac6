#include "mesh/KAnatomyBend.h"

#include <algorithm>

#include "model/KBdlBodyPart.h"

KAnatomyBend::KAnatomyBend(const KBdlBodyPart& bodyPart) {
    const int n = std::min(bodyPart.lengths.count(), bodyPart.jointBends.count());
    if (n <= 1) {
        return;
    }
    type2_ = bodyPart.bendType == 1;
    buildTables(bodyPart);
    status_ = Ready;
    if (type2_ && !buildJointTable()) {
        status_ = JointEntryMissing;
    }
}

void KAnatomyBend::buildTables(const KBdlBodyPart& bodyPart) {
    const int n = std::min(bodyPart.lengths.count(), bodyPart.jointBends.count());
    const double s = bodyPart.bendScale;
    const std::vector<KVertex>& len = bodyPart.lengths.points();
    const std::vector<KVertex>& joint = bodyPart.jointBends.points();

    // Cumulative joint rotations from the tip backwards, and cumulative lengths.
    std::vector<KVertex> turned(size_t(n) + 1); // entry n is the zero past the tip
    KVertex sum;
    for (int k = n - 1; k >= 0; --k) {
        sum = joint[size_t(k)] + sum;
        turned[size_t(k)] = s * sum;
    }
    std::vector<double> end(static_cast<size_t>(n));
    double acc = 0.0;
    for (int k = 0; k < n; ++k) {
        acc += len[size_t(k)].y;
        end[size_t(k)] = acc;
    }
    total_ = end[size_t(n - 1)];
    auto start = [&](int k) { return k == 0 ? 0.0 : end[size_t(k - 1)]; };

    // Blend zones around the joints, then one entry per segment whose twist runs
    // towards the next segment's.
    for (int k = 0; k + 1 < n; ++k) {
        const double a = std::max(0.0, len[size_t(k)].x * len[size_t(k)].y);
        const double b = std::max(0.0, len[size_t(k)].z * len[size_t(k + 1)].y);
        if (a + b > 0.0) {
            rotations_.append(end[size_t(k)] - a, end[size_t(k)] + b, turned[size_t(k)],
                              turned[size_t(k + 1)]);
        }
    }
    blendCount_ = rotations_.count();
    for (int k = 0; k < n; ++k) {
        KVertex b = turned[size_t(k)];
        b.w = turned[size_t(k + 1)].w;
        rotations_.append(start(k), end[size_t(k)], turned[size_t(k)], b);
    }

    // Chain points: where each segment starts, relative to the tip, on the bent chain.
    std::vector<KVertex> chain(size_t(n) + 1); // entry n is the tip itself
    for (int k = 0; k < n; ++k) {
        KVertex p{0.0, -len[size_t(k)].y, 0.0, len[size_t(k)].w};
        for (int i = k; i < n; ++i) {
            const KVertex& j = joint[size_t(i)];
            p.rotateY(s * j.w);
            p.rotateZ(s * j.z);
            p.rotateY(s * j.y);
            p.rotateX(s * j.x);
            if (i < n - 1) {
                p.y -= len[size_t(i + 1)].y;
            }
        }
        chain[size_t(k)] = p;
    }
    for (int k = 0; k < n; ++k) {
        offsets_.append(start(k), end[size_t(k)], chain[size_t(k)], chain[size_t(k + 1)]);
    }
}

// One arc per joint whose two cumulative rotations differ: its low value runs from the
// chain position at the zone's low end to the joint, its high value from the joint to
// the chain position at the high end.
bool KAnatomyBend::buildJointTable() {
    for (int k = 0; k < blendCount_; ++k) {
        const KColorMapEntry& blend = rotations_.entry(k);
        if ((blend.highValue - blend.lowValue).length() <= 0.0) {
            continue;
        }
        KVertex atLow;
        const KColorMapEntry* lowEntry = offsets_.findEntryBackward(blend.low, atLow);
        if (!lowEntry) {
            return false; // the zone starts before the chain does
        }
        KVertex atHigh;
        const KColorMapEntry* highEntry = offsets_.findEntryBackward(blend.high, atHigh);
        if (!highEntry) {
            highEntry = &offsets_.entry(offsets_.count() - 1);
            atHigh = highEntry->highValue;
        }
        const KVertex toJoint = lowEntry->highValue - atLow;
        joints_.append(blend.low, blend.high, toJoint, atHigh - highEntry->lowValue);
        // The offset at the low end, found forwards as the samples will find it.
        KVertex unused;
        const KColorMapEntry* first = offsets_.findEntry(blend.low, unused);
        jointStarts_.push_back(first->highValue - toJoint);
    }
    return true;
}

KVertex KAnatomyBend::apply(const KVertex& position, double v, double vScale) const {
    if (status_ != Ready) {
        return position;
    }
    KVertex p = position;
    p.y = 0.0;
    const double t = v * total_;
    return type2_ ? applyType2(p, t, vScale) : applyType1(p, t, vScale);
}

KVertex KAnatomyBend::applyType1(KVertex p, double t, double vScale) const {
    KVertex twist;
    rotations_.lookupBackward(t, twist);
    p.rotateY(twist.w);
    KVertex turn;
    rotations_.lookup(t, turn);
    p.rotateZ(turn.z);
    p.rotateY(turn.y);
    p.rotateX(turn.x);
    KVertex o;
    offsets_.lookup(t, o);
    return p + vScale * o;
}

KVertex KAnatomyBend::applyType2(KVertex p, double t, double vScale) const {
    // Turn joint by joint from the ring's own segment to the tip.
    KVertex unused;
    const int own = rotations_.findIndexBackward(t, unused);
    if (own >= 0) {
        const int last = rotations_.count() - 1;
        for (int j = own; j <= last; ++j) {
            KVertex r;
            if (j == own) {
                rotations_.lookup(t, r);
            } else {
                r = rotations_.entry(j).lowValue;
            }
            if (j < last) {
                r.subtract(rotations_.entry(j + 1).lowValue);
            }
            p.rotateZ(r.z);
            p.rotateY(r.y);
            p.rotateX(r.x);
        }
    }
    // Inside a joint's zone the ring moves on an arc around the joint.
    KVertex o;
    KVertex arc;
    const int joint = joints_.findIndex(t, arc, KColorMapEntry::ArcBlend);
    if (joint >= 0) {
        o = jointStarts_[size_t(joint)] + arc;
    } else {
        offsets_.lookup(t, o);
    }
    return p + vScale * o;
}
