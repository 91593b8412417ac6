#pragma once
// A set of grid samples given row by row: in every row one inclusive span of columns
// (empty when first > last). It describes where a muscle can lift the surface and which
// samples a partial recalculation touches; a row whose samples lie apart (a muscle
// reaching over the seam) is covered by the span that holds them all.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "mesh/KGridRegion.h"

class KRowSpans {
public:
    struct Span {
        int32_t first = 0;
        int32_t last = -1;
        bool isEmpty() const { return last < first; }
    };

    KRowSpans() = default;
    // No samples in a grid of rowCount rows.
    explicit KRowSpans(int32_t rowCount) : rows_(size_t(std::max(rowCount, 0))) {}

    int32_t rowCount() const { return int32_t(rows_.size()); }
    const Span& row(int32_t j) const { return rows_[size_t(j)]; }

    // Adds columns first..last of row j (clamped to nothing when the span is empty).
    void add(int32_t j, int32_t first, int32_t last) {
        if (last < first || j < 0 || j >= rowCount()) {
            return;
        }
        Span& s = rows_[size_t(j)];
        if (s.isEmpty()) {
            s = {first, last};
        } else {
            s.first = std::min(s.first, first);
            s.last = std::max(s.last, last);
        }
    }
    // Adds every sample of other (a set over the same rows).
    void unite(const KRowSpans& other) {
        const int32_t n = std::min(rowCount(), other.rowCount());
        for (int32_t j = 0; j < n; ++j) {
            add(j, other.row(j).first, other.row(j).last);
        }
    }
    bool isEmpty() const {
        return std::all_of(rows_.begin(), rows_.end(), [](const Span& s) { return s.isEmpty(); });
    }
    size_t sampleCount() const {
        size_t n = 0;
        for (const Span& s : rows_) {
            n += s.isEmpty() ? 0 : size_t(s.last - s.first + 1);
        }
        return n;
    }
    // Whether some sample lies in both sets.
    bool meets(const KRowSpans& other) const {
        const int32_t n = std::min(rowCount(), other.rowCount());
        for (int32_t j = 0; j < n; ++j) {
            const Span& a = row(j);
            const Span& b = other.row(j);
            if (!a.isEmpty() && !b.isEmpty() && a.first <= b.last && b.first <= a.last) {
                return true;
            }
        }
        return false;
    }
    // Every sample with a neighbour (including diagonal ones) in the set, in a grid of
    // columnCount columns: the samples whose normals read a sample of the set.
    KRowSpans grown(int32_t columnCount) const {
        KRowSpans out(rowCount());
        for (int32_t j = 0; j < rowCount(); ++j) {
            const Span& s = row(j);
            if (s.isEmpty()) {
                continue;
            }
            const int32_t first = std::max(s.first - 1, 0);
            const int32_t last = std::min(s.last + 1, columnCount - 1);
            for (int32_t jj = std::max(j - 1, 0); jj <= std::min(j + 1, rowCount() - 1); ++jj) {
                out.add(jj, first, last);
            }
        }
        return out;
    }
    // The smallest rectangle holding every sample; an empty rectangle for an empty set.
    KGridRegion bounds() const {
        KGridRegion r = KGridRegion::rect(0, -1, 0, -1);
        bool any = false;
        for (int32_t j = 0; j < rowCount(); ++j) {
            const Span& s = row(j);
            if (s.isEmpty()) {
                continue;
            }
            if (!any) {
                r = KGridRegion::rect(s.first, s.last, j, j);
                any = true;
            } else {
                r.uFirst = std::min(r.uFirst, s.first);
                r.uLast = std::max(r.uLast, s.last);
                r.vLast = j;
            }
        }
        return r;
    }

private:
    std::vector<Span> rows_;
};
