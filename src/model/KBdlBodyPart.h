#pragma once
// The object's anatomy: the bone surface every layer is summed onto, the lengths of its
// bone segments, the curvature of its spine, the bends at its joints and the parameters
// of the superquadric base shapes.
//
// The five profile curves are held by value. A freshly constructed body part has them
// empty (no points); the document gives them their strings (setDocumentDefaults).

#include <cstdint>
#include <memory>
#include <vector>

#include "model/KBdlCurve.h"
#include "model/KBdlObject.h"
#include "model/KBdlSegment.h"
#include "model/KShapeSuperQ.h"

class KBdlBodyPart : public KBdlShape {
    K_DECLARE_SERIAL(KBdlBodyPart)
public:
    KBdlBodyPart() = default;
    KBdlBodyPart(const KBdlBodyPart&) = delete;
    KBdlBodyPart& operator=(const KBdlBodyPart&) = delete;

    // The content a new document gives its body part: the five default curves (uProfile
    // with uResolution, the others with vResolution) and the new-document flag values.
    void setDocumentDefaults(int32_t uResolution, int32_t vResolution);

    // Builds the curves' tables so that the const evaluations below may run in any
    // order. Call it after changing a curve and before sampling.
    void prepareCurves();

    // The anatomy's own height at (u, v): vFactor·vProfile(v)·(uFactor·uProfile(u') + uOffset),
    // where u' repeats uProfile uRepeat times across u. Needs prepareCurves().
    double boneSurface(double u, double v) const;
    // Its two factors: boneSurface(u, v) = boneSurfaceAlongV(v) · boneSurfaceAcrossU(u),
    // so a grid evaluates each once per column and once per row.
    double boneSurfaceAcrossU(double u) const;
    double boneSurfaceAlongV(double v) const;
    // The sum of the y values of the lengths points; 1.0 when it has none.
    double totalLength() const;
    // The superquadric position of an object point.
    KVertex evaluateSuperQuad(const KVertex& objectPoint) const {
        return superQuad.evaluate(objectPoint);
    }
    // Gives lengths at least one segment and jointBends one point per segment.
    void ensureJoints();
    void clearSegments() { segments.clear(); }

    void serialize(KArchive& ar) override;

    int32_t uFlag = 1;
    int32_t vFlag = 1;
    int32_t partFlag = 1;
    int32_t segmentFlag = 1;
    KBdlCurve lengths;       // per segment: x Lo, y length, z Hi
    int32_t curvatureOn = 0; // "Active" on the "Curvature" page
    KBdlCurve boneCurvature; // x and z offsets of the rings along v
    int32_t bendsOn = 0;     // "Active" on the "Joints" page
    float bendScale = 1.0f;  // "Bend Percent" factor of every joint angle
    KBdlCurve jointBends;    // per joint: x, y, z angles in degrees, w twist
    KBdlCurve uProfile;      // bone surface across u
    float uFactor = 0.5f;
    float uOffset = 0.0f;
    int32_t uMode = 0;
    int32_t uRepeat = 0;
    float shear = 0.0f; // u shift per unit v of the object points
    KBdlCurve vProfile; // bone surface along v
    float vFactor = 1.0f;
    std::vector<std::unique_ptr<KBdlSegment>> segments;
    int32_t bendType = 0; // 0 "Type1", 1 "Type 2"
    int32_t bendMode = 0;
    KShapeSuperQ superQuad;

private:
    void readSegments(KArchive& ar);
};
