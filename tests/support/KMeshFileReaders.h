#pragma once
// Exported mesh files as a client program sees them: assimp reads the file and writes
// what it read as a text PLY file, which is turned back into triangles with the normals
// at their corners.

#include <filesystem>
#include <string>
#include <vector>

#include "model/KVertex.h"

// One triangle as read: its corners in file order and the normal at each corner (an STL
// facet's normal stands at all three; all zero when the file has no normals).
struct KReadTriangle {
    KVertex corner[3];
    KVertex normal[3];
};

struct KReadMesh {
    std::vector<KReadTriangle> triangles;
    bool hasNormals = false;
    std::string error; // empty when the file read cleanly
};

// A text PLY file of triangles, as assimp writes it.
KReadMesh kReadPly(const std::string& text);
// The mesh file at path read by assimp (every mesh of it, in file order); assimp's failure
// is the error.
KReadMesh kReadThroughAssimp(const std::filesystem::path& path);

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
