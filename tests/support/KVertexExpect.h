#pragma once
// Vertices compared component by component within a tolerance, naming both on failure.

#include <gtest/gtest.h>

#include "model/KVertex.h"

inline void kExpectNear(const KVertex& a, const KVertex& b, double tol = 1e-12) {
    EXPECT_NEAR(a.x, b.x, tol) << a << " vs " << b;
    EXPECT_NEAR(a.y, b.y, tol) << a << " vs " << b;
    EXPECT_NEAR(a.z, b.z, tol) << a << " vs " << b;
    EXPECT_NEAR(a.w, b.w, tol) << a << " vs " << b;
}
