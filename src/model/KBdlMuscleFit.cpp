#include "model/KBdlMuscle.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/KNumberText.h"
#include "platform/KUi.h"

// Fitting a muscle to what the map tools draw: a rectangle, a dragged line, the item
// default values of an empty rectangle, and the drags of the rectangle tracker.

const char* const KBdlMuscle::kItemDefaultsTitle = "Create New Item - Default Values";
const char* const KBdlMuscle::kItemDefaultsNote =
    "Note:\nYou are creating an item with a zero sized bounding rectangle, so the item default "
    "values will be used. You may modify the following values before continuing: ";

namespace {

// "< 0, v >, < 0.50, v >, < 1.00, v >": a constant profile along a band.
std::string bandString(const std::string& v) {
    return "< 0, " + v + " >, < 0.50, " + v + " >, < 1.00, " + v + " >";
}

// The same around a point muscle, with five points.
std::string ringString(const std::string& v) {
    return "< 0, " + v + " >, < 0.25, " + v + " >, < 0.50, " + v + " >, < 0.75, " + v +
           " >, < 1.00, " + v + " >";
}

void appendLinePoint(std::string& out, double x, double y) {
    out += "< ";
    kAppendFixed(out, x, 3);
    out += ", ";
    kAppendFixed(out, y, 3);
    out += " >";
}

// Multiplies or divides a float field by a tracker ratio; a ratio that is not a finite
// positive number (a collapsed box, a side of zero width) leaves the field alone.
bool usableRatio(double f) {
    return std::isfinite(f) && f > 0.0;
}

void scaleBy(float& field, double f) {
    if (usableRatio(f)) {
        field = float(double(field) * f);
    }
}

void divideBy(float& field, double f) {
    if (usableRatio(f)) {
        field = float(double(field) / f);
    }
}

void addTo(float& field, double d) {
    field = float(double(field) + d);
}

} // namespace

void KBdlMuscle::setFromRect(double uMin, double vMin, double uMax, double vMax) {
    if (uMin > uMax) {
        std::swap(uMin, uMax);
    }
    if (vMin > vMax) {
        std::swap(vMin, vMax);
    }
    uMin = std::clamp(uMin, 0.0, 1.0);
    uMax = std::clamp(uMax, 0.0, 1.0);
    vMin = std::clamp(vMin, 0.0, 1.0);
    vMax = std::clamp(vMax, 0.0, 1.0);
    if (!(uMax - uMin > 0.0) || !(vMax - vMin > 0.0)) {
        askItemDefaults();
        return;
    }
    switch (muscleType) {
    case Linear:
    case Orbital: {
        const bool linear = muscleType == Linear;
        const double lo = linear ? uMin : vMin;
        const double hi = linear ? uMax : vMax;
        begin = float(linear ? vMin : uMin);
        end = float(linear ? vMax : uMax);
        const std::string width = kFormatFixed(0.5 * (hi - lo), 2);
        widthLo.parse(bandString(width));
        widthHi.parse(bandString(width));
        center.parse(bandString(kFormatFixed(lo + 0.5 * (hi - lo), 2)));
        break;
    }
    case Point: {
        const double hu = 0.5 * (uMax - uMin);
        const double hv = 0.5 * (vMax - vMin);
        // A rectangle so thin that its aspect ratio overflows is as good as empty: the
        // stretch divisors would become infinite.
        const float ratio = float(hu >= hv ? hu / hv : hv / hu);
        if (!std::isfinite(ratio)) {
            askItemDefaults();
            return;
        }
        std::string centerText = "< ";
        kAppendFixed(centerText, uMin + hu, 2);
        centerText += ", ";
        kAppendFixed(centerText, vMin + hv, 2);
        centerText += " >";
        center.parse(centerText);
        const std::string width = kFormatFixed(std::max(hu, hv), 2);
        widthLo.parse(ringString(width));
        widthHi.parse(ringString(width));
        begin = hu >= hv ? 1.0f : ratio;
        end = hu >= hv ? ratio : 1.0f;
        break;
    }
    default:
        break;
    }
}

bool KBdlMuscle::askItemDefaults() {
    const double presetWidth = widthLo.count() > 0 ? 2.0 * widthLo.points()[0].y : 0.0;
    const double presetCenter = center.count() > 0 ? center.points()[0].y : 0.0;
    double totalWidth = presetWidth;
    double centerPosition = presetCenter;
    if (!kUi().askItemDefaults(kItemDefaultsTitle, kItemDefaultsNote, totalWidth, centerPosition)) {
        return false;
    }
    // The dialog accepts values from 0 to 1 only.
    totalWidth = std::isfinite(totalWidth) ? std::clamp(totalWidth, 0.0, 1.0) : presetWidth;
    centerPosition =
        std::isfinite(centerPosition) ? std::clamp(centerPosition, 0.0, 1.0) : presetCenter;

    std::vector<KVertex> points = center.points();
    for (int i = 0; i < center.count(); ++i) {
        points[size_t(i)].y = centerPosition;
    }
    center.setPoints(std::move(points), center.count());
    points = widthLo.points();
    for (int i = 0; i < widthLo.count(); ++i) {
        points[size_t(i)].y = totalWidth / 2.0;
    }
    widthLo.setPoints(std::move(points), widthLo.count());
    widthHi.parse(widthLo.getString());
    return true;
}

void KBdlMuscle::setCenterFromPoints(double uStart, double vStart, double uEnd, double vEnd,
                                     int midPoints, double width) {
    if (muscleType != Linear && muscleType != Orbital) {
        return;
    }
    const bool linear = muscleType == Linear;
    // The length axis is V for a linear muscle and U for an orbital one; the line runs
    // from its lower end along that axis.
    double alongStart = linear ? vStart : uStart;
    double alongEnd = linear ? vEnd : uEnd;
    double acrossStart = linear ? uStart : vStart;
    double acrossEnd = linear ? uEnd : vEnd;
    if (alongStart > alongEnd) {
        std::swap(alongStart, alongEnd);
        std::swap(acrossStart, acrossEnd);
    }
    begin = float(alongStart);
    end = float(alongEnd);

    const int n = std::max(midPoints, 0) + 1;
    std::string text;
    appendLinePoint(text, 0.0, acrossStart);
    text += ", ";
    for (int i = 1; i <= n - 1; ++i) {
        appendLinePoint(text, double(i) / n, acrossStart + i * (acrossEnd - acrossStart) / n);
        text += ", ";
    }
    appendLinePoint(text, 1.0, acrossEnd);
    center.parse(text);

    const std::string half = kFormatFixed(0.5 * width, 2);
    widthLo.parse(bandString(half));
    widthHi.parse(bandString(half));
}

void KBdlMuscle::applyTrackerChange(const KVertex& record, int handle) {
    const double du = record.z;
    const double dv = record.w;
    if (handle == Move) {
        addTo(offsetU, du);
        addTo(offsetV, dv);
        return;
    }
    if (handle < TopLeft || handle > Left) {
        return;
    }
    const double sx = record.x;
    const double sy = record.y;
    const bool left = handle == TopLeft || handle == BottomLeft || handle == Left;
    const bool right = handle == TopRight || handle == BottomRight || handle == Right;
    const bool bottom = handle == BottomRight || handle == BottomLeft || handle == Bottom;
    const bool top = handle == TopLeft || handle == TopRight || handle == Top;

    const double lo = double(widthLoScale) * widthLo.maxY();
    const double hi = double(widthHiScale) * widthHi.maxY();
    const double total = lo + hi;
    // Resizes the side of an asymmetric band that the moved edge bounds: the Lo side
    // for the lower edge of the across axis, the Hi side for the upper one, exchanged
    // when the axis is mirrored. The other side keeps its width.
    auto resizeSide = [&](bool lowerEdge, double ratio, bool mirrored) {
        if (lowerEdge != mirrored) {
            scaleBy(widthLoScale, (total * ratio - hi) / lo);
        } else {
            scaleBy(widthHiScale, (total * ratio - lo) / hi);
        }
    };
    const bool symmetric = hasSymmetricWidth();

    switch (muscleType) {
    case Linear:
        if (left || right) {
            if (symmetric) {
                if (usableRatio(sx)) {
                    scaleBy(widthLoScale, sx);
                    addTo(offsetU, left ? -du / 2.0 : du / 2.0);
                }
            } else {
                resizeSide(left, sx, mirrorU != 0);
            }
        }
        if (bottom) {
            addTo(begin, dv);
        }
        if (top) {
            addTo(end, -dv);
        }
        break;
    case Orbital:
        if (left) {
            addTo(begin, -du);
        }
        if (right) {
            addTo(end, du);
        }
        if (bottom || top) {
            if (symmetric) {
                if (usableRatio(sy)) {
                    scaleBy(widthLoScale, sy);
                    addTo(offsetV, bottom ? dv / 2.0 : -dv / 2.0);
                }
            } else {
                resizeSide(bottom, sy, mirrorV != 0);
            }
        }
        break;
    case Point:
        if ((left || right) && usableRatio(sx)) {
            divideBy(begin, sx);
            addTo(offsetU, left ? -du / 2.0 : du / 2.0);
        }
        if ((bottom || top) && usableRatio(sy)) {
            divideBy(end, sy);
            addTo(offsetV, bottom ? dv / 2.0 : -dv / 2.0);
        }
        break;
    default:
        break;
    }
}
