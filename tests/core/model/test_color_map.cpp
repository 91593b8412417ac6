// Colour maps as range tables: entry intervals, forward and backward lookups, the
// linear and the arc blend.

#include <gtest/gtest.h>

#include <tuple>

#include <cmath>

#include "model/KColorMap.h"
#include "support/KVertexExpect.h"

namespace {

const KVertex kUntouched{-7, -7, -7, -7};

} // namespace

TEST(ColorMapEntry, LinearLookupInsideAndOutside) {
    const KColorMapEntry e(0.0, 2.0, {0, 0, 0, 0}, {4, 8, -4, 2});
    KVertex r = kUntouched;
    // Three quarters of the way, all four components; the interval is closed.
    EXPECT_EQ((std::tuple{e.lookup(1.5, r), r}), std::tuple(0, KVertex(3, 6, -3, 1.5)));
    r = kUntouched;
    EXPECT_EQ((std::tuple{e.lookup(2.5, r), e.lookup(-0.1, r), r}), std::tuple(1, -1, kUntouched));
}

TEST(ColorMapEntry, ZeroWidthEntryGivesItsLowValue) {
    const KColorMapEntry e(1.0, 1.0, {1, 2, 3, 4}, {5, 6, 7, 8});
    KVertex r;
    EXPECT_EQ((std::tuple{e.lookup(1.0, r), r}), std::tuple(0, KVertex(1, 2, 3, 4)));
    EXPECT_EQ(e.lookup(1.0, r, KColorMapEntry::ArcBlend), 0);
    EXPECT_FALSE(std::isnan(r.x));
}

TEST(ColorMapEntry, ArcBlendRunsOnAnArcFromZero) {
    // A = (1, 0, 0), B = (0, 1, 0): P = (0, -1, 0), Q = (1, 0, 0), scale (1, 1, ·).
    // The result is (sin θ, 1 − cos θ) with θ from 0 to 90 degrees: the quarter circle
    // around (0, 1) from the origin to A + B.
    const KColorMapEntry unit(0.0, 1.0, {1, 0, 0, 3}, {0, 1, 0, 5});
    KVertex r = kUntouched;
    EXPECT_EQ(unit.lookup(0.5, r, KColorMapEntry::ArcBlend), 0);
    kExpectNear(r, {std::sqrt(0.5), 1 - std::sqrt(0.5), 0, 0});
    unit.lookup(1.0, r, KColorMapEntry::ArcBlend);
    kExpectNear(r, {1, 1, 0, 0});

    // Twice as long values over [2, 4]: the same arc scaled by |A + B| = (2, 2, 0).
    const KColorMapEntry big(2.0, 4.0, {2, 0, 0, 0}, {0, 2, 0, 0});
    big.lookup(3.0, r, KColorMapEntry::ArcBlend);
    kExpectNear(r, {2 * std::sqrt(0.5), 2 - 2 * std::sqrt(0.5), 0, 0});
}

TEST(ColorMap, EmptyMapAnswersBelowAndWritesNothing) {
    const KColorMap map;
    KVertex r = kUntouched;
    EXPECT_EQ((std::tuple{map.lookup(0.5, r), map.lookupBackward(0.5, r), map.findEntry(0.5, r),
                          map.findEntryBackward(0.5, r), r}),
              std::tuple(-1, -1, nullptr, nullptr, kUntouched));
}

TEST(ColorMap, ForwardAndBackwardLookupsChooseDifferentEntries) {
    KColorMap map;
    map.append(0.0, 1.0, {0, 0, 0, 0}, {10, 0, 0, 0});
    map.append(1.0, 2.0, {20, 0, 0, 0}, {30, 0, 0, 0});
    KVertex r;
    // The first entry answers going forward, the second going backward.
    EXPECT_EQ((std::tuple{map.lookup(1.0, r), r.x}), std::tuple(0, 10.0));
    EXPECT_EQ((std::tuple{map.lookupBackward(1.0, r), r.x}), std::tuple(0, 20.0));
    EXPECT_EQ((std::tuple{map.findEntry(1.0, r), map.findEntryBackward(1.0, r)}),
              std::tuple(&map.entry(0), &map.entry(1)));
    EXPECT_EQ((std::tuple{map.findEntry(1.5, r), r.x}), std::tuple(&map.entry(1), 25.0));
}

TEST(ColorMap, MissReturnsTheLastAskedEntrysAnswer) {
    KColorMap map;
    map.append(0.0, 1.0, {}, {});
    map.append(2.0, 3.0, {}, {});
    KVertex r = kUntouched;
    // 1.5 lies in the gap: the last entry asked forward is [2, 3] (below it), backward
    // it is [0, 1] (above it).
    EXPECT_EQ((std::tuple{map.lookup(1.5, r), map.lookupBackward(1.5, r), map.lookup(5.0, r),
                          map.lookupBackward(-1.0, r), r}),
              std::tuple(-1, 1, 1, -1, kUntouched));
    EXPECT_EQ(std::tuple(map.findIndex(2.5, r), map.findIndexBackward(1.5, r)), std::tuple(1, -1));
}
