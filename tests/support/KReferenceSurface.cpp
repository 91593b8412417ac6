#include "support/KReferenceSurface.h"

#include "document/CPexaDoc.h"
#include "mesh/KAnatomyBend.h"
#include "mesh/KBaseShape.h"

KReferenceMesh kReferenceMesh(CPexaDoc& doc) {
    KReferenceMesh mesh;
    const int32_t nu = doc.meshGrid->uCount();
    const int32_t nv = doc.meshGrid->vCount();
    KBdlBodyPart& body = doc.bodyPart;
    body.uProfile.setResolution(nu - 1);
    body.vProfile.setResolution(nv - 1);
    const KClipRange& clip = doc.clip;
    const double du = nu > 1 ? (clip.uTo - clip.uFrom) / (nu - 1) : 0.0;
    const double dv = nv > 1 ? (clip.vTo - clip.vFrom) / (nv - 1) : 0.0;

    // Object points: bone surface plus every layer, every muscle, at every sample.
    mesh.objectPoints.resize(size_t(nu) * size_t(nv));
    for (int32_t j = 0; j < nv; ++j) {
        const double v = clip.vFrom + j * dv;
        for (int32_t i = 0; i < nu; ++i) {
            const double u = clip.uFrom + i * du;
            double uu = u;
            if (body.uRepeat > 1 && body.uProfile.repeatCount < 2) {
                uu = std::fmod(double(body.uRepeat) * u, 1.0);
            }
            double h = double(body.vFactor) * body.vProfile.value(v) *
                       (double(body.uFactor) * body.uProfile.value(uu) + double(body.uOffset));
            for (const auto& layer : doc.layers) {
                h += layer->displacement(u, v);
            }
            mesh.objectPoints[size_t(j) * size_t(nu) + size_t(i)] = {u + body.shear * v, h, v, 0.0};
        }
    }

    // Positions through the base shape.
    body.boneCurvature.prepare();
    const KBaseShape shape(doc.baseShape, doc.scalingU, doc.scalingHeight,
                           doc.scalingV * body.totalLength(), &body.superQuad,
                           body.curvatureOn ? &body.boneCurvature : nullptr);
    mesh.positions.resize(mesh.objectPoints.size());
    for (size_t s = 0; s < mesh.objectPoints.size(); ++s) {
        mesh.positions[s] = shape.map(mesh.objectPoints[s]);
    }
    if (body.bendsOn) {
        const KAnatomyBend bend(body);
        if (bend.status() == KAnatomyBend::Ready) {
            for (size_t s = 0; s < mesh.positions.size(); ++s) {
                mesh.positions[s] =
                    bend.apply(mesh.positions[s], mesh.objectPoints[s].z, doc.scalingV);
            }
        }
    }

    // Normals from the six triangles around each sample.
    mesh.normals.resize(mesh.positions.size());
    auto at = [&](int32_t i, int32_t j) {
        return mesh.positions[size_t(j) * size_t(nu) + size_t(i)];
    };
    for (int32_t j = 0; j < nv; ++j) {
        for (int32_t i = 0; i < nu; ++i) {
            const KVertex c = at(i, j);
            KVertex n;
            const bool west = i >= 1, east = i < nu - 1, north = j < nv - 1, south = j >= 1;
            if (west && north) {
                n.add((at(i - 1, j) - c).cross(at(i, j + 1) - c));
            }
            if (east && north) {
                n.add((at(i, j + 1) - c).cross(at(i + 1, j + 1) - c));
                n.add((at(i + 1, j + 1) - c).cross(at(i + 1, j) - c));
            }
            if (east && south) {
                n.add((at(i + 1, j) - c).cross(at(i, j - 1) - c));
            }
            if (west && south) {
                n.add((at(i, j - 1) - c).cross(at(i - 1, j - 1) - c));
                n.add((at(i - 1, j - 1) - c).cross(at(i - 1, j) - c));
            }
            n.normalize();
            mesh.normals[size_t(j) * size_t(nu) + size_t(i)] = n;
        }
    }
    return mesh;
}
