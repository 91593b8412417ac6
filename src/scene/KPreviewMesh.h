#pragma once
// The vertex data of the 3D preview, prepared on the CPU for vertex buffers: one vertex
// per grid sample (position and normal as floats, the precision OpenGL keeps of doubles
// handed to it), an index list that walks every pair of adjacent rows as one triangle
// strip, and the batches that say which strips are drawn with which material.
//
// Strip r of a grid gives, for every column c in order, sample (c, r + 1) and then
// sample (c, r); the preview draws each strip on its own, so flat shading takes every
// triangle's colour from the same vertex the immediate-mode drawing did.
//
// After a calculation that changed only some rows of the object grid, only the vertices
// of those rows and of the rows whose normals they feed are prepared again.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CPexaDoc;
class KMeshGrid;
class KTexture;

struct KPreviewVertex {
    float position[3];
    float normal[3];
};

// The material state a batch sets: every colour black and shininess 0 unless the
// texture entry switches it on.
struct KPreviewMaterial {
    std::array<float, 4> ambient{0, 0, 0, 1};
    std::array<float, 4> diffuse{0, 0, 0, 1};
    std::array<float, 4> emission{0, 0, 0, 1};
    std::array<float, 4> specular{0, 0, 0, 1};
    float shininess = 0;

    // The material of a texture entry; black for none.
    static KPreviewMaterial of(const KTexture* texture);
    bool operator==(const KPreviewMaterial&) const = default;
};

// Strips of one grid: stripCount strips of stripLength indices each, the first at
// firstIndex of the index list.
struct KPreviewBatch {
    bool setsMaterial = false;
    KPreviewMaterial material;
    size_t firstIndex = 0;
    int32_t stripCount = 0;
    int32_t stripLength = 0;
    bool operator==(const KPreviewBatch&) const = default;
};

// What the preview shows of the document: the skinned object grid (layer mode 0) or the
// item meshes of the selected layers (all when none is selected), optionally flat.
struct KPreviewMeshOptions {
    int layerMode = 0;
    std::vector<int32_t> selectedLayers;
    bool viewFlat = false;
    bool operator==(const KPreviewMeshOptions&) const = default;
};

// What the last update rewrote: everything, or vertexCount vertices from firstVertex
// (possibly none).
struct KPreviewRefresh {
    bool full = true;
    size_t firstVertex = 0;
    size_t vertexCount = 0;
};

class KPreviewMesh {
public:
    // Has the document calculate what the preview shows, then prepares only the rows
    // its latest calculation changed when these buffers hold the calculation before it
    // for the same options; otherwise prepares everything.
    KPreviewRefresh update(CPexaDoc& doc, const KPreviewMeshOptions& options);
    // Has the document calculate what the preview shows and prepares everything.
    void prepare(CPexaDoc& doc, const KPreviewMeshOptions& options);
    // Prepares everything from what the document has calculated already.
    void build(const CPexaDoc& doc, const KPreviewMeshOptions& options);
    // Prepares again the vertices that a change of the samples in rows vFirst..vLast of
    // the skinned grid alters: those rows and one row either side (their normals).
    // Returns the vertices rewritten. The grid must be the one last prepared.
    KPreviewRefresh refreshRows(const KMeshGrid& grid, int32_t vFirst, int32_t vLast);
    // Forgets what was prepared: the next update prepares everything.
    void clear();

    const std::vector<KPreviewVertex>& vertices() const { return vertices_; }
    const std::vector<uint32_t>& indices() const { return indices_; }
    const std::vector<KPreviewBatch>& batches() const { return batches_; }

private:
    void prepareSkinned(const CPexaDoc& doc);
    void prepareLayered(const CPexaDoc& doc, const KPreviewMeshOptions& options);
    // Appends a grid's vertices, strips and batch; false (nothing appended) when the
    // grid lacks what it would be drawn from.
    bool appendGrid(const KMeshGrid& grid, bool flat, bool setsMaterial,
                    const KPreviewMaterial& material);
    void fillRows(const KMeshGrid& grid, int32_t first, int32_t last, size_t base, bool flat);

    std::vector<KPreviewVertex> vertices_;
    std::vector<uint32_t> indices_;
    std::vector<KPreviewBatch> batches_;
    // What the buffers were prepared from.
    bool prepared_ = false;
    KPreviewMeshOptions options_;
    uint64_t calculation_ = 0;
    int32_t uCount_ = 0;
    int32_t vCount_ = 0;
};
