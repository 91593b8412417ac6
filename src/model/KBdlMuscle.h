#pragma once
// A muscle: one distortion drawn on the object's UV map, shaped by five profile curves.
// It answers how far it lifts the surface at a UV point (displacement) and where the
// point (a, b) of its own patch lies in (u, height, v) (itemPoint). Four kinds exist:
// linear (along V), orbital (along U), point (around a centre) and compound.
//
// Evaluation comes in two flavours that give bit-identical results:
// - displacement() / itemPoint() evaluate the curves with KBdlCurve::value, which may
//   build tables on the way, and record the point muscle's centre in `anchor`;
// - after prepare(), displacementPrepared() / itemPointPrepared() are const and have no
//   side effects, so a grid can be sampled in any order (or in parallel).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/KBdlCurve.h"
#include "model/KBdlObject.h"
#include "model/KVertex.h"
#include "model/KVertexList.h"

class KBdlMuscle : public KBdlElement {
    K_DECLARE_SERIAL(KBdlMuscle)
public:
    enum Type : int32_t { Linear = 0, Orbital = 1, Point = 2, Compound = 3 };
    enum HeightType : int32_t { HeightScale = 0, HeightOffset = 1 };
    // The polylines samplePolyline can build, by the curve they follow.
    enum Polyline : int {
        CenterLine = 0,
        WidthLoLine = 1,
        WidthHiLine = 2,
        CrossSectionLine = 3,
        HeightLine = 4
    };
    // Tracker handles: corners, edges, and the box itself (a move).
    enum Handle : int {
        TopLeft = 0,
        TopRight = 1,
        BottomRight = 2,
        BottomLeft = 3,
        Top = 4,
        Right = 5,
        Bottom = 6,
        Left = 7,
        Move = 8
    };

    // A linear muscle with its defaults.
    KBdlMuscle();
    // A muscle of the given type with that type's defaults.
    explicit KBdlMuscle(int32_t type);
    // Copies every field except the note; the copy owns its own curves and anchor.
    KBdlMuscle(const KBdlMuscle& other);
    KBdlMuscle& operator=(const KBdlMuscle& other);

    // "linear", "orbital", "point", "compound", or empty for any other type.
    static std::string typeName(int32_t type);

    // How far the muscle lifts the surface at (u, v).
    double displacement(double u, double v);
    // The point (a, b) of the muscle's own patch: x = u, y = height, z = v. A compound
    // muscle does not write out and returns false.
    bool itemPoint(double a, double b, KVertex& out);
    KVertex itemPoint(double a, double b);

    // Prepares the five curves for the const evaluation below.
    void prepare();
    bool isPrepared() const;
    double displacementPrepared(double u, double v) const;
    bool itemPointPrepared(double a, double b, KVertex& out) const;

    // ---- the pieces of displacementPrepared, for sampling whole grids quickly; a
    // displacement is scaledByHeight of the band or point value at the local (mu, mv).
    // The curves must be prepared.
    bool liftsNothing() const { return active == 0 || height == 0.0f; }
    // Width Hi follows Width Lo.
    bool hasSymmetricWidth() const { return symmetricWidth == 1; }
    // The muscle's own coordinates of a map point: offsets removed, mirrors applied.
    double localU(double u) const;
    double localV(double v) const;
    // What a linear (along = mv) or orbital (along = mu) muscle needs at one position
    // along its band.
    struct BandSection {
        bool inBand = false;
        double center = 0.0;
        double low = 0.0;  // Lo(s)
        double high = 0.0; // Hi(s)
        double profile = 0.0;
    };
    BandSection bandSectionPrepared(double along) const;
    // The profile at a position across the band (mu for linear, mv for orbital).
    double bandValuePrepared(const BandSection& section, double across) const;
    // A point muscle's centre at mu, and its profile at (mu, mv) around that centre.
    KVertex pointCenterPrepared(double mu) const;
    double pointValuePrepared(const KVertex& centerPoint, double mu, double mv) const;
    double scaledByHeight(double r) const { return r * double(height); }

    // UV points (x = u, y = v) along one edge of the patch (see Polyline). With full set,
    // a curve whose resolution exceeds its point count is sampled at that resolution.
    void samplePolyline(int which, KVertexList& list, bool full);
    // The closed outline the UV map view draws and hit-tests: 2n + 3 points for linear
    // and orbital muscles (n = points of the center line), the outer ring for a point
    // muscle, nothing for a compound one.
    void sampleOutline(KVertexList& list, bool full);

    // Fits the muscle to a rectangle in UV units. An empty rectangle asks for the item
    // default values instead.
    void setFromRect(double uMin, double vMin, double uMax, double vMax);
    // Fits a linear or orbital muscle to a dragged line with midPoints points between
    // its ends and the given total width.
    void setCenterFromPoints(double uStart, double vStart, double uEnd, double vEnd, int midPoints,
                             double width);
    // Applies a tracker drag. For a move record = (u0, v0, du, dv); for a resize
    // record = (sx, sy, du, dv) with the size ratios and size differences in UV units.
    void applyTrackerChange(const KVertex& record, int handle);

    void serialize(KArchive& ar) override;

    // The question text of the empty-rectangle dialog.
    static const char* const kItemDefaultsTitle;
    static const char* const kItemDefaultsNote;

    std::string name = "(new)";
    float begin = 0.0f;
    float end = 1.0f;
    int32_t muscleType = Linear;
    float height = 0.25f;
    int32_t active = 1;
    int32_t textureIndex = 0;
    std::string note;
    KVertex anchor; // scratch: the last evaluated centre of a point muscle
    KBdlCurve center;
    KBdlCurve heightCurve;
    KBdlCurve widthLo;
    KBdlCurve widthHi;
    KBdlCurve crossSection;
    // Cells of the muscle's item mesh along U and V. The muscle dialog offers 2 to
    // kMaxResolution; a larger value from a file is meshed as kMaxResolution.
    static constexpr int32_t kMaxResolution = 512;
    int32_t resolutionU = 4;
    int32_t resolutionV = 8;
    int32_t mirrorU = 0;
    int32_t mirrorV = 0;
    float offsetU = 0.0f;
    float offsetV = 0.0f;
    int32_t symmetricWidth = 1;
    float widthLoScale = 1.0f;
    float widthHiScale = 1.0f;
    int32_t heightType = HeightScale;

private:
    void setDefaults(int32_t type);
    void copyFrom(const KBdlMuscle& other);
    void sampleParameters(KBdlCurve& curve, bool full, std::vector<double>& out);
    bool askItemDefaults();
};
