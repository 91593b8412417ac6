#pragma once
// The straightforward evaluation of a document's mesh, sample by sample, exactly as the
// model describes it: every curve evaluated with KBdlCurve::value, every muscle of every
// layer asked at every sample, the shape mapping and normals in plain loops. The fast
// paths of the core are checked against it bit for bit.

#include <vector>

#include "model/KVertex.h"

class CPexaDoc;

struct KReferenceMesh {
    std::vector<KVertex> objectPoints;
    std::vector<KVertex> positions;
    std::vector<KVertex> normals;
};

// Fills, maps and computes normals for the document's grid into a mesh of its own.
// The document's curves may build their tables on the way; nothing else changes.
KReferenceMesh kReferenceMesh(CPexaDoc& doc);
