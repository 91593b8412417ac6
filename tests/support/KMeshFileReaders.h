#pragma once
// Small readers that turn an exported mesh file (OBJ text, PLY ascii or binary, STL ascii
// or binary, glTF binary) back into triangles with the normals the file gives at their
// corners, so that tests can check the geometry a client program would see.

#include <string>
#include <vector>

#include "model/KVertex.h"

// One triangle as written: its corners in file order and the normal at each corner (an
// STL facet's normal stands at all three; all zero when the file has no normals).
struct KReadTriangle {
    KVertex corner[3];
    KVertex normal[3];
};

struct KReadMesh {
    std::vector<KReadTriangle> triangles;
    bool hasNormals = false;
    std::string error; // empty when the file read cleanly
};

KReadMesh kReadObj(const std::string& text);
KReadMesh kReadPly(const std::string& bytes);
KReadMesh kReadStl(const std::string& bytes);
// Every primitive of every mesh of a .glb file.
KReadMesh kReadGlb(const std::string& bytes);

// How the corner normals of a mesh lie against the faces their winding gives by the
// right-hand rule: counts over (triangle, corner) pairs whose face and normal both have a
// length; degenerate triangles and zero normals are left out.
struct KNormalAgreement {
    size_t along = 0;   // dot(face normal, corner normal) > 0
    size_t against = 0; // < 0
    size_t skipped = 0; // degenerate triangle or zero normal
    double alongShare() const {
        const size_t n = along + against;
        return n == 0 ? 0.0 : double(along) / double(n);
    }
};
KNormalAgreement kNormalAgreement(const KReadMesh& mesh);
