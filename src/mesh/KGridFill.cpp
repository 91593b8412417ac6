#include "mesh/KGridFill.h"

#include <algorithm>
#include <cmath>

#include "model/KBdlBodyPart.h"
#include "model/KBdlLayer.h"
#include "platform/KParallel.h"

namespace {

// A little more than x, for comparisons that must never cut off a sample the exact
// computation would reach.
double generous(double x) {
    return x * (1.0 + 1e-9) + 1e-12;
}

void combine(float d, float& highest, float& deepest) {
    if (d > 0.0f) {
        highest = std::max(highest, d);
    } else {
        deepest = std::min(deepest, d);
    }
}

} // namespace

KGridFill::KGridFill(KBdlBodyPart& bodyPart, const KSurfaceHeight::LayerList& layers,
                     const KClipRange& clip, int32_t uCount, int32_t vCount)
    : body_(bodyPart), clip_(clip), nu_(uCount), nv_(vCount) {
    const KSurfaceHeight prepare(&bodyPart, layers); // prepares every curve
    du_ = nu_ > 1 ? (clip.uTo - clip.uFrom) / (nu_ - 1) : 0.0;
    dv_ = nv_ > 1 ? (clip.vTo - clip.vFrom) / (nv_ - 1) : 0.0;
    shear_ = bodyPart.shear;
    u_.resize(size_t(nu_));
    boneU_.resize(size_t(nu_));
    for (int32_t i = 0; i < nu_; ++i) {
        u_[size_t(i)] = clip.uFrom + i * du_;
        boneU_[size_t(i)] = body_.boneSurfaceAcrossU(u_[size_t(i)]);
    }
    v_.resize(size_t(nv_));
    boneV_.resize(size_t(nv_));
    for (int32_t j = 0; j < nv_; ++j) {
        v_[size_t(j)] = clip.vFrom + j * dv_;
        boneV_[size_t(j)] = body_.boneSurfaceAlongV(v_[size_t(j)]);
    }
    for (const auto& layer : layers) {
        Layer l{layer.get(), {}};
        if (layer->active != 0) {
            for (const auto& muscle : layer->muscles) {
                if (muscle->liftsNothing() || muscle->muscleType < KBdlMuscle::Linear ||
                    muscle->muscleType > KBdlMuscle::Point) {
                    continue; // gives exactly 0 everywhere
                }
                Muscle m{muscle.get(), muscle->muscleType, {}, {}, {}, {}, {}};
                prepareMuscle(m);
                l.muscles.push_back(std::move(m));
            }
        }
        layers_.push_back(std::move(l));
    }
}

// Indices i of the samples start + i·step (0 <= i < count) that lie in [a, b], widened
// by one on each side; all of them when the step or the bounds are not usable.
KGridFill::Span KGridFill::indicesFor(double a, double b, double start, double step,
                                      int32_t count) {
    if (!(step > 0.0) || !std::isfinite(a) || !std::isfinite(b)) {
        return {0, count - 1};
    }
    const double first = std::floor((a - start) / step) - 1.0;
    const double last = std::ceil((b - start) / step) + 1.0;
    return {int32_t(std::clamp(first, 0.0, double(count))),
            int32_t(std::clamp(last, -1.0, double(count - 1)))};
}

KGridFill::Span KGridFill::columnsFor(double a, double b) const {
    return indicesFor(a, b, clip_.uFrom, du_, nu_);
}

KGridFill::Span KGridFill::rowsFor(double a, double b) const {
    return indicesFor(a, b, clip_.vFrom, dv_, nv_);
}

void KGridFill::prepareMuscle(Muscle& m) const {
    if (m.type == KBdlMuscle::Point) {
        preparePoint(m);
    } else {
        prepareBand(m);
    }
}

void KGridFill::prepareBand(Muscle& m) const {
    const KBdlMuscle& mu = *m.muscle;
    if (m.type == KBdlMuscle::Linear) {
        m.sections.resize(size_t(nv_));
        for (int32_t j = 0; j < nv_; ++j) {
            m.sections[size_t(j)] = mu.bandSectionPrepared(mu.localV(v_[size_t(j)]));
        }
        return;
    }
    // Orbital: a section per column and the rows each column can reach.
    m.sections.resize(size_t(nu_));
    m.rows.resize(size_t(nu_));
    m.rowsReached = {nv_, -1};
    m.columns = {nu_, -1};
    const double offV = mu.offsetV;
    for (int32_t i = 0; i < nu_; ++i) {
        const KBdlMuscle::BandSection& s = m.sections[size_t(i)] =
            mu.bandSectionPrepared(mu.localU(u_[size_t(i)]));
        Span rows;
        if (!s.inBand) {
            rows = {};
        } else if (s.low > 0.0 && s.high > 0.0 && std::isfinite(s.low) && std::isfinite(s.high)) {
            // mv within [center − low, center + high]; mv = v − offsetV, mirrored 1 − that.
            const double lo = s.center - generous(s.low), hi = s.center + generous(s.high);
            rows = mu.mirrorV ? rowsFor(1.0 + offV - hi, 1.0 + offV - lo)
                              : rowsFor(lo + offV, hi + offV);
        } else {
            rows = {0, nv_ - 1};
        }
        m.rows[size_t(i)] = rows;
        if (rows.first <= rows.last) {
            m.rowsReached.first = std::min(m.rowsReached.first, rows.first);
            m.rowsReached.last = std::max(m.rowsReached.last, rows.last);
            m.columns.first = std::min(m.columns.first, i);
            m.columns.last = std::max(m.columns.last, i);
        }
    }
}

void KGridFill::preparePoint(Muscle& m) const {
    const KBdlMuscle& mu = *m.muscle;
    m.centers.resize(size_t(nu_));
    m.rows.resize(size_t(nu_));
    m.rowsReached = {nv_, -1};
    m.columns = {nu_, -1};
    // The widest the muscle can be: a bound of widthLo · widthLoScale over every parameter.
    double wlo = 0.0, whi = 0.0;
    const bool bounded = mu.widthLo.valueBounds(wlo, whi);
    const double scale = mu.widthLoScale;
    const double loBound = std::min(wlo * scale, whi * scale);
    const double radius = std::max(std::fabs(wlo * scale), std::fabs(whi * scale));
    const double begin = mu.begin, end = mu.end;
    // A width that may be 0 or negative lifts samples far from the centre; so may a
    // stretch of 0. Then every sample is asked.
    const bool cull = bounded && loBound > 0.0 && std::isfinite(radius) && begin != 0.0 &&
                      end != 0.0 && std::isfinite(begin) && std::isfinite(end);
    const double offV = mu.offsetV;
    for (int32_t i = 0; i < nu_; ++i) {
        const double mux = mu.localU(u_[size_t(i)]);
        const KVertex c = m.centers[size_t(i)] = mu.pointCenterPrepared(mux);
        Span rows{0, nv_ - 1};
        if (cull) {
            const double dx = (mux - c.x) * begin;
            if (!(std::fabs(dx) <= generous(radius))) {
                rows = {}; // rho > 1 whatever the row
            } else {
                const double reach = generous(radius) / std::fabs(end);
                const double lo = c.y - reach, hi = c.y + reach;
                rows = mu.mirrorV ? rowsFor(1.0 + offV - hi, 1.0 + offV - lo)
                                  : rowsFor(lo + offV, hi + offV);
            }
        }
        m.rows[size_t(i)] = rows;
        if (rows.first <= rows.last) {
            m.rowsReached.first = std::min(m.rowsReached.first, rows.first);
            m.rowsReached.last = std::max(m.rowsReached.last, rows.last);
            m.columns.first = std::min(m.columns.first, i);
            m.columns.last = std::max(m.columns.last, i);
        }
    }
}

void KGridFill::addLinear(const Muscle& m, int32_t j, std::vector<float>& highest,
                          std::vector<float>& deepest) const {
    const KBdlMuscle& mu = *m.muscle;
    const KBdlMuscle::BandSection& s = m.sections[size_t(j)];
    if (!s.inBand) {
        return;
    }
    auto ask = [&](int32_t first, int32_t last) {
        for (int32_t i = first; i <= last; ++i) {
            const double r = mu.bandValuePrepared(s, mu.localU(u_[size_t(i)]));
            combine(float(mu.scaledByHeight(r)), highest[size_t(i)], deepest[size_t(i)]);
        }
    };
    if (!(s.low > 0.0 && s.high > 0.0 && std::isfinite(s.low) && std::isfinite(s.high))) {
        ask(0, nu_ - 1);
        return;
    }
    // The folded distance across the seam equals x − k for k in {−2, −1, 0, 1} (x being
    // mu − center), so the muscle reaches mu in [center + k − low, center + k + high].
    const double offU = mu.offsetU;
    for (int k = -2; k <= 1; ++k) {
        const double lo = s.center + k - generous(s.low);
        const double hi = s.center + k + generous(s.high);
        const Span cols = mu.mirrorU ? columnsFor(1.0 + offU - hi, 1.0 + offU - lo)
                                     : columnsFor(lo + offU, hi + offU);
        ask(cols.first, cols.last);
    }
}

void KGridFill::addByColumn(const Muscle& m, int32_t j, std::vector<float>& highest,
                            std::vector<float>& deepest) const {
    if (j < m.rowsReached.first || j > m.rowsReached.last) {
        return;
    }
    const KBdlMuscle& mu = *m.muscle;
    const double mv = mu.localV(v_[size_t(j)]);
    for (int32_t i = m.columns.first; i <= m.columns.last; ++i) {
        const Span& rows = m.rows[size_t(i)];
        if (j < rows.first || j > rows.last) {
            continue;
        }
        const double r =
            m.type == KBdlMuscle::Orbital
                ? mu.bandValuePrepared(m.sections[size_t(i)], mv)
                : mu.pointValuePrepared(m.centers[size_t(i)], mu.localU(u_[size_t(i)]), mv);
        combine(float(mu.scaledByHeight(r)), highest[size_t(i)], deepest[size_t(i)]);
    }
}

void KGridFill::fillRow(int32_t j, std::span<KVertex> row, std::vector<float>& highest,
                        std::vector<float>& deepest) const {
    const double v = v_[size_t(j)];
    for (int32_t i = 0; i < nu_; ++i) {
        row[size_t(i)].y = boneV_[size_t(j)] * boneU_[size_t(i)];
    }
    for (const Layer& l : layers_) {
        const KBdlLayer& layer = *l.layer;
        if (layer.active == 0) {
            for (int32_t i = 0; i < nu_; ++i) {
                row[size_t(i)].y += 0.0; // an inactive layer adds 0, as it does sample by sample
            }
            continue;
        }
        std::fill(highest.begin(), highest.end(), 0.0f);
        std::fill(deepest.begin(), deepest.end(), 0.0f);
        for (const Muscle& m : l.muscles) {
            if (m.type == KBdlMuscle::Linear) {
                addLinear(m, j, highest, deepest);
            } else {
                addByColumn(m, j, highest, deepest);
            }
        }
        for (int32_t i = 0; i < nu_; ++i) {
            const double u = u_[size_t(i)];
            row[size_t(i)].y +=
                (highest[size_t(i)] + deepest[size_t(i)]) * layer.scale + layer.imageTerm(u, v);
        }
    }
    for (int32_t i = 0; i < nu_; ++i) {
        KVertex& p = row[size_t(i)];
        p.x = u_[size_t(i)] + shear_ * v;
        p.z = v;
        p.w = 0.0;
    }
}

void KGridFill::fill(std::span<KVertex> objectPoints) const {
    // Rows are dealt out in turn (row j to worker j mod n) rather than in blocks: the
    // muscles crowd some parts of the map, and this spreads them evenly.
    const int workers = nv_ >= 16 ? kWorkerCount() : 1;
    kParallelFor(
        workers,
        [&](int first, int last) {
            std::vector<float> highest(static_cast<size_t>(nu_));
            std::vector<float> deepest(static_cast<size_t>(nu_));
            for (int w = first; w < last; ++w) {
                for (int32_t j = w; j < nv_; j += workers) {
                    fillRow(j, objectPoints.subspan(size_t(j) * size_t(nu_), size_t(nu_)), highest,
                            deepest);
                }
            }
        },
        1);
}
