#include "mesh/KGridFill.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// Whether the muscle can give anything but exactly 0 somewhere.
bool liftsSomething(const KBdlMuscle& m) {
    return !m.liftsNothing() && m.muscleType >= KBdlMuscle::Linear &&
           m.muscleType <= KBdlMuscle::Point;
}

} // namespace

KGridFill::KGridFill(KBdlBodyPart& bodyPart, const KSurfaceHeight::LayerList& layers,
                     const KClipRange& clip, int32_t uCount, int32_t vCount)
    : KGridFill(bodyPart, layers, clip, uCount, vCount, PartialFill{}) {
    for (Layer& l : layers_) {
        if (l.layer->active == 0) {
            continue;
        }
        for (const auto& muscle : l.layer->muscles) {
            if (liftsSomething(*muscle)) {
                Muscle m{muscle.get(), muscle->muscleType, {}, {}, {}, {}, {}};
                prepareMuscle(m, {0, nv_ - 1}, {0, nu_ - 1});
                l.muscles.push_back(std::move(m));
            }
        }
    }
}

KGridFill::KGridFill(KBdlBodyPart& bodyPart, const KSurfaceHeight::LayerList& layers,
                     const KClipRange& clip, int32_t uCount, int32_t vCount, PartialFill)
    : body_(bodyPart), clip_(clip), nu_(uCount), nv_(vCount) {
    const KSurfaceHeight prepare(&bodyPart, layers); // prepares every curve
    prepareGeometry();
    for (const auto& layer : layers) {
        layers_.push_back({layer.get(), {}});
    }
}

void KGridFill::prepareGeometry() {
    du_ = nu_ > 1 ? (clip_.uTo - clip_.uFrom) / (nu_ - 1) : 0.0;
    dv_ = nv_ > 1 ? (clip_.vTo - clip_.vFrom) / (nv_ - 1) : 0.0;
    shear_ = body_.shear;
    u_.resize(size_t(nu_));
    boneU_.resize(size_t(nu_));
    for (int32_t i = 0; i < nu_; ++i) {
        u_[size_t(i)] = clip_.uFrom + i * du_;
        boneU_[size_t(i)] = body_.boneSurfaceAcrossU(u_[size_t(i)]);
    }
    v_.resize(size_t(nv_));
    boneV_.resize(size_t(nv_));
    for (int32_t j = 0; j < nv_; ++j) {
        v_[size_t(j)] = clip_.vFrom + j * dv_;
        boneV_[size_t(j)] = body_.boneSurfaceAlongV(v_[size_t(j)]);
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

void KGridFill::prepareMuscle(Muscle& m, Span rows, Span columns) const {
    m.rowsReached = {nv_, -1};
    m.columns = {nu_, -1};
    if (m.type == KBdlMuscle::Point) {
        preparePoint(m, columns);
    } else {
        prepareBand(m, rows, columns);
    }
}

// Records that column i of an orbital or point muscle reaches rows.
void KGridFill::noteReach(Muscle& m, int32_t i, Span rows) const {
    m.rows[size_t(i)] = rows;
    if (!rows.isEmpty()) {
        m.rowsReached.first = std::min(m.rowsReached.first, rows.first);
        m.rowsReached.last = std::max(m.rowsReached.last, rows.last);
        m.columns.first = std::min(m.columns.first, i);
        m.columns.last = std::max(m.columns.last, i);
    }
}

void KGridFill::prepareBand(Muscle& m, Span rowSpan, Span columnSpan) const {
    const KBdlMuscle& mu = *m.muscle;
    if (m.type == KBdlMuscle::Linear) {
        // Rows outside rowSpan keep a section that is not in the band: never asked.
        m.sections.resize(size_t(nv_));
        for (int32_t j = std::max(rowSpan.first, 0); j <= std::min(rowSpan.last, nv_ - 1); ++j) {
            m.sections[size_t(j)] = mu.bandSectionPrepared(mu.localV(v_[size_t(j)]));
        }
        return;
    }
    // Orbital: a section per column and the rows each column can reach.
    m.sections.resize(size_t(nu_));
    m.rows.resize(size_t(nu_));
    const double offV = mu.offsetV;
    for (int32_t i = std::max(columnSpan.first, 0); i <= std::min(columnSpan.last, nu_ - 1); ++i) {
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
        noteReach(m, i, rows);
    }
}

void KGridFill::preparePoint(Muscle& m, Span columnSpan) const {
    const KBdlMuscle& mu = *m.muscle;
    m.centers.resize(size_t(nu_));
    m.rows.resize(size_t(nu_));
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
    for (int32_t i = std::max(columnSpan.first, 0); i <= std::min(columnSpan.last, nu_ - 1); ++i) {
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
        noteReach(m, i, rows);
    }
}

int KGridFill::linearColumns(const Muscle& m, int32_t j, Span out[4]) const {
    const KBdlMuscle& mu = *m.muscle;
    const KBdlMuscle::BandSection& s = m.sections[size_t(j)];
    if (!s.inBand) {
        return 0;
    }
    if (!(s.low > 0.0 && s.high > 0.0 && std::isfinite(s.low) && std::isfinite(s.high))) {
        out[0] = {0, nu_ - 1};
        return 1;
    }
    // The folded distance across the seam equals x − k for k in {−2, −1, 0, 1} (x being
    // mu − center), so the muscle reaches mu in [center + k − low, center + k + high].
    const double offU = mu.offsetU;
    int n = 0;
    for (int k = -2; k <= 1; ++k) {
        const double lo = s.center + k - generous(s.low);
        const double hi = s.center + k + generous(s.high);
        out[n++] = mu.mirrorU ? columnsFor(1.0 + offU - hi, 1.0 + offU - lo)
                              : columnsFor(lo + offU, hi + offU);
    }
    return n;
}

void KGridFill::addLinear(const Muscle& m, int32_t j, Span cols, std::vector<float>& highest,
                          std::vector<float>& deepest) const {
    Span spans[4];
    const int n = linearColumns(m, j, spans);
    if (n == 0) {
        return;
    }
    const KBdlMuscle& mu = *m.muscle;
    const KBdlMuscle::BandSection& s = m.sections[size_t(j)];
    for (int k = 0; k < n; ++k) {
        const int32_t first = std::max(spans[k].first, cols.first);
        const int32_t last = std::min(spans[k].last, cols.last);
        for (int32_t i = first; i <= last; ++i) {
            const double r = mu.bandValuePrepared(s, mu.localU(u_[size_t(i)]));
            combine(float(mu.scaledByHeight(r)), highest[size_t(i)], deepest[size_t(i)]);
        }
    }
}

void KGridFill::addByColumn(const Muscle& m, int32_t j, Span cols, std::vector<float>& highest,
                            std::vector<float>& deepest) const {
    if (j < m.rowsReached.first || j > m.rowsReached.last) {
        return;
    }
    const KBdlMuscle& mu = *m.muscle;
    const double mv = mu.localV(v_[size_t(j)]);
    const int32_t first = std::max(m.columns.first, cols.first);
    const int32_t last = std::min(m.columns.last, cols.last);
    for (int32_t i = first; i <= last; ++i) {
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

void KGridFill::fillRow(int32_t j, Span cols, std::span<KVertex> row, std::vector<float>& highest,
                        std::vector<float>& deepest) const {
    const double v = v_[size_t(j)];
    const size_t first = size_t(cols.first);
    const size_t last = size_t(cols.last);
    for (size_t i = first; i <= last; ++i) {
        row[i].y = boneV_[size_t(j)] * boneU_[i];
    }
    for (const Layer& l : layers_) {
        const KBdlLayer& layer = *l.layer;
        if (layer.active == 0) {
            for (size_t i = first; i <= last; ++i) {
                row[i].y += 0.0; // an inactive layer adds 0, as it does sample by sample
            }
            continue;
        }
        std::fill(highest.begin() + ptrdiff_t(first), highest.begin() + ptrdiff_t(last) + 1, 0.0f);
        std::fill(deepest.begin() + ptrdiff_t(first), deepest.begin() + ptrdiff_t(last) + 1, 0.0f);
        for (const Muscle& m : l.muscles) {
            if (m.type == KBdlMuscle::Linear) {
                addLinear(m, j, cols, highest, deepest);
            } else {
                addByColumn(m, j, cols, highest, deepest);
            }
        }
        for (size_t i = first; i <= last; ++i) {
            row[i].y += (highest[i] + deepest[i]) * layer.scale + layer.imageTerm(u_[i], v);
        }
    }
    for (size_t i = first; i <= last; ++i) {
        KVertex& p = row[i];
        p.x = u_[i] + shear_ * v;
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
                    fillRow(j, {0, nu_ - 1},
                            objectPoints.subspan(size_t(j) * size_t(nu_), size_t(nu_)), highest,
                            deepest);
                }
            }
        },
        1);
}

// ---------------------------------------------------------------- support and regions

KRowSpans KGridFill::supportOf(const Muscle& m) const {
    KRowSpans out(nv_);
    if (m.type == KBdlMuscle::Linear) {
        for (int32_t j = 0; j < nv_; ++j) {
            Span spans[4];
            const int n = linearColumns(m, j, spans);
            for (int k = 0; k < n; ++k) {
                out.add(j, spans[k].first, spans[k].last);
            }
        }
        return out;
    }
    // Orbital and point muscles know the rows of each column: every row takes the first
    // and the last column that reaches it. Rows already given their first (or last)
    // column are skipped through next, so each row is visited once per direction.
    std::vector<int32_t> next(size_t(nv_) + 1);
    auto sweep = [&](int32_t from, int32_t to, int32_t step) {
        for (int32_t j = 0; j <= nv_; ++j) {
            next[size_t(j)] = j;
        }
        auto find = [&](int32_t j) {
            int32_t root = j;
            while (next[size_t(root)] != root) {
                root = next[size_t(root)];
            }
            while (next[size_t(j)] != root) {
                const int32_t n = next[size_t(j)];
                next[size_t(j)] = root;
                j = n;
            }
            return root;
        };
        for (int32_t i = from; i != to + step; i += step) {
            const Span& rows = m.rows[size_t(i)];
            if (rows.isEmpty()) {
                continue;
            }
            for (int32_t j = find(rows.first); j <= rows.last; j = find(j + 1)) {
                out.add(j, i, i);
                next[size_t(j)] = j + 1;
            }
        }
    };
    if (!m.columns.isEmpty()) {
        sweep(m.columns.first, m.columns.last, 1);
        sweep(m.columns.last, m.columns.first, -1);
    }
    return out;
}

KRowSpans KGridFill::supportOf(const KBdlLayer& layer, const KBdlMuscle& muscle) const {
    if (layer.active == 0 || !liftsSomething(muscle)) {
        return KRowSpans(nv_);
    }
    Muscle m{&muscle, muscle.muscleType, {}, {}, {}, {}, {}};
    prepareMuscle(m, {0, nv_ - 1}, {0, nu_ - 1});
    return supportOf(m);
}

std::vector<std::pair<const KBdlMuscle*, KRowSpans>> KGridFill::supports() const {
    std::vector<std::pair<const KBdlMuscle*, KRowSpans>> out;
    for (const Layer& l : layers_) {
        size_t prepared = 0;
        for (const auto& muscle : l.layer->muscles) {
            const bool held =
                prepared < l.muscles.size() && l.muscles[prepared].muscle == muscle.get();
            out.emplace_back(muscle.get(),
                             held ? supportOf(l.muscles[prepared++]) : KRowSpans(nv_));
        }
    }
    return out;
}

void KGridFill::restrictTo(const KRowSpans& region,
                           const std::function<bool(const KBdlMuscle&)>& reaches) {
    region_ = region;
    const KGridRegion box = region.bounds();
    for (Layer& l : layers_) {
        l.muscles.clear();
        if (l.layer->active == 0 || region.isEmpty()) {
            continue;
        }
        for (const auto& muscle : l.layer->muscles) {
            if (!liftsSomething(*muscle) || !reaches(*muscle)) {
                continue;
            }
            Muscle m{muscle.get(), muscle->muscleType, {}, {}, {}, {}, {}};
            prepareMuscle(m, {box.vFirst, box.vLast}, {box.uFirst, box.uLast});
            l.muscles.push_back(std::move(m));
        }
    }
}

KRowSpans KGridFill::fillRegion(std::span<KVertex> objectPoints) const {
    std::vector<int32_t> rows;
    for (int32_t j = 0; j < region_.rowCount(); ++j) {
        if (!region_.row(j).isEmpty()) {
            rows.push_back(j);
        }
    }
    std::vector<Span> changed(static_cast<size_t>(nv_));
    const int count = int(rows.size());
    const int workers = std::clamp(count / 8, 1, kWorkerCount());
    kParallelFor(
        workers,
        [&](int first, int last) {
            std::vector<float> highest(static_cast<size_t>(nu_));
            std::vector<float> deepest(static_cast<size_t>(nu_));
            std::vector<KVertex> fresh(static_cast<size_t>(nu_));
            for (int w = first; w < last; ++w) {
                for (int r = w; r < count; r += workers) {
                    const int32_t j = rows[size_t(r)];
                    const Span cols = region_.row(j);
                    fillRow(j, cols, fresh, highest, deepest);
                    std::span<KVertex> row =
                        objectPoints.subspan(size_t(j) * size_t(nu_), size_t(nu_));
                    Span& c = changed[size_t(j)];
                    for (int32_t i = cols.first; i <= cols.last; ++i) {
                        if (std::memcmp(&row[size_t(i)], &fresh[size_t(i)], sizeof(KVertex)) != 0) {
                            row[size_t(i)] = fresh[size_t(i)];
                            c = c.isEmpty() ? Span{i, i} : Span{c.first, i};
                        }
                    }
                }
            }
        },
        1);
    KRowSpans out(nv_);
    for (int32_t j = 0; j < nv_; ++j) {
        out.add(j, changed[size_t(j)].first, changed[size_t(j)].last);
    }
    return out;
}
