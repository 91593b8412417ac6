// Curve evaluation: the cost that every grid sample pays several times.
#include <benchmark/benchmark.h>

#include "model/KBdlCurve.h"

static void BM_CurveValueSpline(benchmark::State& state) {
    KBdlCurve curve("< 0, 0.10 >, < 0.25, 0.40 >, < 0.50, 0.10 >, < 0.75, 0.30 >, < 1.00, 0.10 >");
    double t = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(curve.value(t));
        t += 0.001;
        if (t > 1.0) {
            t = 0.0;
        }
    }
}
BENCHMARK(BM_CurveValueSpline);
