#include "model/KColorMap.h"

#include <cmath>

K_IMPLEMENT_SERIAL(KColorMapEntry, KObject, 10, true)
K_IMPLEMENT_SERIAL(KColorMap, KObject, 10, true)

// ---------------------------------------------------------------- entry

double KColorMapEntry::fraction(double value) const {
    const double span = high - low;
    // An entry of zero width holds only its low value; dividing by its width would
    // turn every lookup that hits it into NaN.
    if (span == 0.0) {
        return 0.0;
    }
    return (value - low) / span;
}

int KColorMapEntry::lookup(double value, KVertex& result, int mode) const {
    if (value < low) {
        return Below;
    }
    if (value > high) {
        return Above;
    }
    const double t = fraction(value);
    if (mode == ArcBlend) {
        result = arcBlend(t);
    } else {
        result = lowValue + t * (highValue - lowValue);
    }
    return Inside;
}

// Runs from 0 at t = 0 along an arc in the plane of the two values: P and Q are the
// in-plane directions perpendicular to each value, M sweeps from P to Q, and the sweep
// is scaled per component so that the arc spans |A + B|.
KVertex KColorMapEntry::arcBlend(double t) const {
    const KVertex a{lowValue.x, lowValue.y, lowValue.z, 0.0};
    const KVertex b{highValue.x, highValue.y, highValue.z, 0.0};
    const KVertex c = a.cross(b);
    KVertex p = a.cross(c);
    KVertex q = b.cross(c);
    p.normalize();
    q.normalize();
    KVertex m = p + t * (q - p);
    m.normalize();
    KVertex span = lowValue + highValue;
    span.abs();
    KVertex sweep = q - p;
    sweep.abs();
    const KVertex s = span.divide(sweep);
    const KVertex d = m - p;
    return {d.x * s.x, d.y * s.y, d.z * s.z, 0.0};
}

void KColorMapEntry::serialize(KArchive& ar) {
    KObject::serialize(ar);
}

// ---------------------------------------------------------------- map

namespace {

// The answer of an entry that did not contain value; Below when there was no entry.
int answerOutside(const KColorMapEntry* last, double value) {
    if (last && value > last->high) {
        return KColorMapEntry::Above;
    }
    return KColorMapEntry::Below;
}

} // namespace

int KColorMap::findIndex(double value, KVertex& result, int mode) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].lookup(value, result, mode) == KColorMapEntry::Inside) {
            return int(i);
        }
    }
    return -1;
}

int KColorMap::findIndexBackward(double value, KVertex& result, int mode) const {
    for (size_t i = entries_.size(); i-- > 0;) {
        if (entries_[i].lookup(value, result, mode) == KColorMapEntry::Inside) {
            return int(i);
        }
    }
    return -1;
}

int KColorMap::lookup(double value, KVertex& result, int mode) const {
    if (findIndex(value, result, mode) >= 0) {
        return KColorMapEntry::Inside;
    }
    // The last entry asked was the last one.
    return answerOutside(entries_.empty() ? nullptr : &entries_.back(), value);
}

int KColorMap::lookupBackward(double value, KVertex& result, int mode) const {
    if (findIndexBackward(value, result, mode) >= 0) {
        return KColorMapEntry::Inside;
    }
    // The last entry asked was the first one.
    return answerOutside(entries_.empty() ? nullptr : &entries_.front(), value);
}

const KColorMapEntry* KColorMap::findEntry(double value, KVertex& result, int mode) const {
    const int i = findIndex(value, result, mode);
    return i < 0 ? nullptr : &entries_[size_t(i)];
}

const KColorMapEntry* KColorMap::findEntryBackward(double value, KVertex& result, int mode) const {
    const int i = findIndexBackward(value, result, mode);
    return i < 0 ? nullptr : &entries_[size_t(i)];
}

void KColorMap::serialize(KArchive& ar) {
    KObject::serialize(ar);
}
