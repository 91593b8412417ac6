#pragma once
// Ordered range tables that map a number to a four-component value. Each entry covers a
// closed interval and blends between a value at its low end and one at its high end;
// the mesh engine uses them as the range tables of the anatomy bends. They are built at
// run time and never stored, so their serialisation reads and writes nothing.

#include <vector>

#include "model/KVertex.h"
#include "platform/KObject.h"

class KColorMapEntry : public KObject {
    K_DECLARE_SERIAL(KColorMapEntry)
public:
    enum Mode : int {
        Linear = 0,  // straight interpolation of all four components
        ArcBlend = 1 // a point on an arc from 0 towards the sum of the two values
    };
    // Results of a lookup.
    enum Result : int { Below = -1, Inside = 0, Above = 1 };

    KColorMapEntry() = default;
    KColorMapEntry(double low, double high, const KVertex& lowValue, const KVertex& highValue)
        : low(low), high(high), lowValue(lowValue), highValue(highValue) {}

    void setLow(double v) { low = v; }
    void setHigh(double v) { high = v; }
    void setLowValue(const KVertex& v) { lowValue = v; }
    void setHighValue(const KVertex& v) { highValue = v; }

    // Below when value < low, Above when value > high; otherwise Inside with the
    // blended value written to result (result is untouched in the other two cases).
    int lookup(double value, KVertex& result, int mode = Linear) const;

    void serialize(KArchive& ar) override;

    double low = 0.0;
    double high = 1.0;
    KVertex lowValue;
    KVertex highValue;

private:
    // Where value lies between low and high, 0 to 1.
    double fraction(double value) const;
    KVertex arcBlend(double t) const;
};

class KColorMap : public KObject {
    K_DECLARE_SERIAL(KColorMap)
public:
    void append(const KColorMapEntry& entry) { entries_.push_back(entry); }
    void append(double low, double high, const KVertex& lowValue, const KVertex& highValue) {
        entries_.emplace_back(low, high, lowValue, highValue);
    }
    void clear() { entries_.clear(); }
    int count() const { return int(entries_.size()); }
    bool empty() const { return entries_.empty(); }
    const KColorMapEntry& entry(int i) const { return entries_[size_t(i)]; }
    const std::vector<KColorMapEntry>& entries() const { return entries_; }

    // Asks the entries from the first on and returns the first Inside answer; when none
    // answers Inside, the last asked entry's answer, and Below for an empty map. Only
    // the answering entry writes result.
    int lookup(double value, KVertex& result, int mode = KColorMapEntry::Linear) const;
    // The same, asking the entries from the last one backwards.
    int lookupBackward(double value, KVertex& result, int mode = KColorMapEntry::Linear) const;
    // The entry that answered Inside (with result written), or null.
    const KColorMapEntry* findEntry(double value, KVertex& result,
                                    int mode = KColorMapEntry::Linear) const;
    const KColorMapEntry* findEntryBackward(double value, KVertex& result,
                                            int mode = KColorMapEntry::Linear) const;
    // Index of the answering entry, or -1; result as above.
    int findIndex(double value, KVertex& result, int mode = KColorMapEntry::Linear) const;
    int findIndexBackward(double value, KVertex& result, int mode = KColorMapEntry::Linear) const;

    void serialize(KArchive& ar) override;

private:
    std::vector<KColorMapEntry> entries_;
};
