#include "scene/KPreviewMesh.h"

#include <algorithm>

#include "document/CPexaDoc.h"

namespace {

std::array<float, 4> scaledColor(const KVertex& color, float factor) {
    const KVertex s = KTexture::scaled(color, factor);
    return {float(s.x), float(s.y), float(s.z), float(s.w)};
}

void calculate(CPexaDoc& doc, const KPreviewMeshOptions& options) {
    if (options.layerMode == 1) {
        doc.ensureItemMeshes(true);
    } else {
        doc.computeMesh();
        doc.computeNormals();
    }
}

bool layerWanted(const KPreviewMeshOptions& options, int32_t layerIndex) {
    const auto& wanted = options.selectedLayers;
    return wanted.empty() || std::find(wanted.begin(), wanted.end(), layerIndex) != wanted.end();
}

} // namespace

KPreviewMaterial KPreviewMaterial::of(const KTexture* t) {
    KPreviewMaterial m;
    if (!t) {
        return m;
    }
    if (t->useAmbient) {
        m.ambient = scaledColor(t->ambient, t->ambientFactor);
    }
    if (t->useDiffuse) {
        m.diffuse = scaledColor(t->diffuse, t->diffuseFactor);
    }
    if (t->useEmission) {
        m.emission = scaledColor(t->emission, t->emissionFactor);
    }
    if (t->useSpecular) {
        m.specular = scaledColor(t->specular, t->specularFactor);
    }
    if (t->useShininess) {
        // OpenGL accepts 0..128; larger values would be refused and leave the old one.
        m.shininess = std::clamp(t->shininess, 0.0f, 128.0f);
    }
    return m;
}

KPreviewRefresh KPreviewMesh::update(CPexaDoc& doc, const KPreviewMeshOptions& options) {
    calculate(doc, options);
    const KMeshGrid* grid = doc.meshGrid.get();
    const bool sameLayout = prepared_ && options == options_ && options.layerMode != 1 && grid &&
                            grid->uCount() == uCount_ && grid->vCount() == vCount_ &&
                            vertices_.size() == grid->sampleCount() && grid->hasPositions() &&
                            grid->hasNormals();
    // Only the calculation right after the one prepared says what changed since.
    if (!sameLayout || doc.calculationCount != calculation_ + 1 || doc.changedRegion.whole) {
        build(doc, options);
        return {};
    }
    calculation_ = doc.calculationCount;
    // The material is read again, as a full preparation would.
    batches_.front().material = KPreviewMaterial::of(doc.textures.textureAt(0));
    if (doc.changedRegion.isEmpty()) {
        return {false, 0, 0};
    }
    return refreshRows(*grid, doc.changedRegion.vFirst, doc.changedRegion.vLast);
}

void KPreviewMesh::prepare(CPexaDoc& doc, const KPreviewMeshOptions& options) {
    calculate(doc, options);
    build(doc, options);
}

void KPreviewMesh::build(const CPexaDoc& doc, const KPreviewMeshOptions& options) {
    clear();
    options_ = options;
    calculation_ = doc.calculationCount;
    if (options.layerMode == 1) {
        prepareLayered(doc, options);
    } else {
        prepareSkinned(doc);
    }
    prepared_ = true;
}

void KPreviewMesh::clear() {
    vertices_.clear();
    indices_.clear();
    batches_.clear();
    prepared_ = false;
    uCount_ = vCount_ = 0;
}

void KPreviewMesh::prepareSkinned(const CPexaDoc& doc) {
    // The object's material is set even when there is nothing to draw with it.
    const KPreviewMaterial material = KPreviewMaterial::of(doc.textures.textureAt(0));
    const KMeshGrid* grid = doc.meshGrid.get();
    if (!grid || !appendGrid(*grid, false, true, material)) {
        KPreviewBatch batch;
        batch.setsMaterial = true;
        batch.material = material;
        batches_.push_back(batch);
        return;
    }
    uCount_ = grid->uCount();
    vCount_ = grid->vCount();
}

void KPreviewMesh::prepareLayered(const CPexaDoc& doc, const KPreviewMeshOptions& options) {
    for (const auto& item : doc.itemMeshes) {
        if (!layerWanted(options, item->layerIndex)) {
            continue;
        }
        const KTexture* texture = doc.textures.textureAt(item->textureIndex);
        appendGrid(*item, options.viewFlat, texture != nullptr, KPreviewMaterial::of(texture));
    }
}

bool KPreviewMesh::appendGrid(const KMeshGrid& grid, bool flat, bool setsMaterial,
                              const KPreviewMaterial& material) {
    const int32_t nu = grid.uCount();
    const int32_t nv = grid.vCount();
    const bool hasData = flat ? grid.hasObjectPoints() : grid.hasPositions() && grid.hasNormals();
    if (!hasData || nv < 2 || nu < 1) {
        return false;
    }
    const size_t base = vertices_.size();
    vertices_.resize(base + grid.sampleCount());
    fillRows(grid, 0, nv - 1, base, flat);

    KPreviewBatch batch;
    batch.setsMaterial = setsMaterial;
    batch.material = material;
    batch.firstIndex = indices_.size();
    batch.stripCount = nv - 1;
    batch.stripLength = 2 * nu;
    indices_.resize(indices_.size() + size_t(batch.stripCount) * size_t(batch.stripLength));
    uint32_t* out = indices_.data() + batch.firstIndex;
    for (int32_t r = 0; r + 1 < nv; ++r) {
        for (int32_t c = 0; c < nu; ++c) {
            *out++ = uint32_t(base + grid.index(c, r + 1));
            *out++ = uint32_t(base + grid.index(c, r));
        }
    }
    batches_.push_back(batch);
    return true;
}

void KPreviewMesh::fillRows(const KMeshGrid& grid, int32_t first, int32_t last, size_t base,
                            bool flat) {
    const auto positions = flat ? grid.objectPoints() : grid.positions();
    const auto normals = grid.normals();
    const size_t begin = grid.index(0, first);
    const size_t end = grid.index(0, last + 1);
    KPreviewVertex* out = vertices_.data() + base + begin;
    for (size_t i = begin; i < end; ++i, ++out) {
        const KVertex& p = positions[i];
        out->position[0] = float(p.x);
        out->position[1] = float(p.y);
        out->position[2] = float(p.z);
        if (flat) {
            out->normal[0] = 0;
            out->normal[1] = 1;
            out->normal[2] = 0;
        } else {
            const KVertex& n = normals[i];
            out->normal[0] = float(n.x);
            out->normal[1] = float(n.y);
            out->normal[2] = float(n.z);
        }
    }
}

KPreviewRefresh KPreviewMesh::refreshRows(const KMeshGrid& grid, int32_t vFirst, int32_t vLast) {
    // A sample's normal comes from its neighbours in the rows either side.
    const int32_t first = std::max(vFirst - 1, 0);
    const int32_t last = std::min(vLast + 1, vCount_ - 1);
    if (!prepared_ || first > last || grid.uCount() != uCount_ || grid.vCount() != vCount_) {
        return {false, 0, 0};
    }
    fillRows(grid, first, last, 0, false);
    return {false, grid.index(0, first), size_t(last - first + 1) * size_t(uCount_)};
}
