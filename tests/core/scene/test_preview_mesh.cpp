// The preview's vertex data against what its display lists drew, and its partial
// refresh after a calculation that changed some rows against a fresh preparation.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "document/CPexaDoc.h"
#include "document/KSampleObjects.h"
#include "scene/KPreviewCamera.h"
#include "scene/KPreviewMesh.h"
#include "scene/KPreviewShading.h"
#include "support/KGridRows.h"

namespace {

// One call of the immediate-mode drawing: a material, or one triangle strip.
struct Call {
    bool isMaterial = false;
    KPreviewMaterial material;
    std::vector<KPreviewVertex> strip;

    bool operator==(const Call& o) const {
        return isMaterial == o.isMaterial && material == o.material &&
               strip.size() == o.strip.size() &&
               (strip.empty() || std::memcmp(strip.data(), o.strip.data(),
                                             strip.size() * sizeof(KPreviewVertex)) == 0);
    }
};

// The material calls of the display lists: everything black, then what the entry uses.
KPreviewMaterial referenceMaterial(const KTexture* t) {
    KPreviewMaterial m;
    auto put = [](std::array<float, 4>& out, const KVertex& c, float f) {
        const KVertex s = KTexture::scaled(c, f);
        out = {float(s.x), float(s.y), float(s.z), float(s.w)};
    };
    if (t) {
        if (t->useAmbient) {
            put(m.ambient, t->ambient, t->ambientFactor);
        }
        if (t->useDiffuse) {
            put(m.diffuse, t->diffuse, t->diffuseFactor);
        }
        if (t->useEmission) {
            put(m.emission, t->emission, t->emissionFactor);
        }
        if (t->useSpecular) {
            put(m.specular, t->specular, t->specularFactor);
        }
        if (t->useShininess) {
            m.shininess = std::clamp(t->shininess, 0.0f, 128.0f);
        }
    }
    return m;
}

Call materialCall(const KPreviewMaterial& m) {
    Call c;
    c.isMaterial = true;
    c.material = m;
    return c;
}

// OpenGL keeps the doubles handed to glNormal3d and glVertex3d as floats.
KPreviewVertex glVertex(const KVertex& p, const KVertex& n) {
    return {{float(p.x), float(p.y), float(p.z)}, {float(n.x), float(n.y), float(n.z)}};
}

// The strips of one grid as the display lists gave them.
void referenceStrips(std::vector<Call>& out, const KMeshGrid& grid, const KTexture* material,
                     bool flat) {
    const auto positions = flat ? grid.objectPoints() : grid.positions();
    const auto normals = grid.normals();
    if (positions.empty() || (!flat && normals.empty())) {
        return;
    }
    for (int32_t r = 0; r + 1 < grid.vCount(); ++r) {
        if (material) {
            out.push_back(materialCall(referenceMaterial(material)));
        }
        Call strip;
        for (int32_t c = 0; c < grid.uCount(); ++c) {
            for (int32_t row : {r + 1, r}) {
                const size_t i = grid.index(c, row);
                strip.strip.push_back(glVertex(positions[i], flat ? KVertex(0, 1, 0) : normals[i]));
            }
        }
        out.push_back(strip);
    }
}

std::vector<Call> referenceDrawing(CPexaDoc& doc, const KPreviewMeshOptions& options) {
    std::vector<Call> out;
    if (options.layerMode == 1) {
        for (const auto& item : doc.ensureItemMeshes(true)) {
            const auto& wanted = options.selectedLayers;
            if (wanted.empty() ||
                std::find(wanted.begin(), wanted.end(), item->layerIndex) != wanted.end()) {
                referenceStrips(out, *item, doc.textures.textureAt(item->textureIndex),
                                options.viewFlat);
            }
        }
        return out;
    }
    doc.computeMesh();
    doc.computeNormals();
    out.push_back(materialCall(referenceMaterial(doc.textures.textureAt(0))));
    if (doc.meshGrid && doc.meshGrid->hasPositions() && doc.meshGrid->vCount() > 1) {
        referenceStrips(out, *doc.meshGrid, nullptr, false);
    }
    return out;
}

// The prepared buffers walked as the preview draws them.
std::vector<Call> drawnFromBuffers(const KPreviewMesh& mesh) {
    std::vector<Call> out;
    for (const KPreviewBatch& batch : mesh.batches()) {
        if (batch.setsMaterial) {
            out.push_back(materialCall(batch.material));
        }
        for (int32_t k = 0; k < batch.stripCount; ++k) {
            Call strip;
            for (int32_t i = 0; i < batch.stripLength; ++i) {
                const size_t at = batch.firstIndex + size_t(k * batch.stripLength + i);
                strip.strip.push_back(mesh.vertices().at(mesh.indices().at(at)));
            }
            out.push_back(strip);
        }
    }
    return out;
}

// Material calls that set what is set already change nothing on screen.
std::vector<Call> withoutRepeatedMaterials(const std::vector<Call>& calls) {
    std::vector<Call> out;
    const KPreviewMaterial* current = nullptr;
    for (const Call& c : calls) {
        if (c.isMaterial) {
            if (current && *current == c.material) {
                continue;
            }
            current = &c.material;
        }
        out.push_back(c);
    }
    return out;
}

void expectSameBuffers(const KPreviewMesh& a, const KPreviewMesh& b) {
    ASSERT_EQ(a.vertices().size(), b.vertices().size());
    if (a.vertices().empty()) {
        return;
    }
    EXPECT_EQ(std::memcmp(a.vertices().data(), b.vertices().data(),
                          a.vertices().size() * sizeof(KPreviewVertex)),
              0);
    EXPECT_EQ(a.indices(), b.indices());
    EXPECT_EQ(a.batches(), b.batches());
}

// The first linear muscle of a sample object.
KBdlMuscle* linearMuscle(CPexaDoc& doc) {
    for (int k = 0; KBdlLayer* layer = doc.layerAt(k); ++k) {
        for (int i = 0; KBdlMuscle* m = layer->getMuscle(i); ++i) {
            if (m->muscleType == KBdlMuscle::Linear) {
                return m;
            }
        }
    }
    return nullptr;
}

// Moves the muscle, has the document recalculate, and records as the calculation's
// changed region the rows whose samples differ.
void moveAndRecordRows(CPexaDoc& doc, KBdlMuscle& muscle, float dv) {
    const std::vector<KVertex> before = kObjectPointsOf(*doc.meshGrid);
    muscle.offsetV += dv;
    doc.itemChanged(CPexaDoc::HintMuscle, &muscle);
    doc.computeMesh();
    doc.computeNormals();
    doc.changedRegion = kRowsThatDiffer(before, *doc.meshGrid);
}

} // namespace

// Every mode draws the calls the display lists made: the same materials and the same
// strips, vertex for vertex.
TEST(PreviewMesh, BuffersDrawWhatTheDisplayListsDrew) {
    struct Case {
        const char* name;
        KPreviewMeshOptions options;
        bool sample;
        bool withoutGrid;
    };
    const Case cases[] = {
        {"default document", {}, false, false},
        {"sample skinned", {}, true, false},
        {"sample layered", {1, {}, false}, true, false},
        {"sample layered, layer 1 only", {1, {1}, false}, true, false},
        {"sample layered flat", {1, {}, true}, true, false},
        {"no grid", {}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CPexaDoc> doc =
            c.sample ? kMakeBenchmarkObject(40) : std::make_unique<CPexaDoc>();
        if (c.withoutGrid) {
            doc->meshGrid.reset();
        }
        KPreviewMesh mesh;
        mesh.prepare(*doc, c.options);
        const std::vector<Call> expected = referenceDrawing(*doc, c.options);
        EXPECT_EQ(withoutRepeatedMaterials(drawnFromBuffers(mesh)),
                  withoutRepeatedMaterials(expected));
        // Each grid's samples are held once, not once per strip.
        if (!c.withoutGrid && c.options.layerMode == 0) {
            EXPECT_EQ(mesh.vertices().size(), doc->meshGrid->sampleCount());
        }
        EXPECT_GT(expected.size(), c.withoutGrid ? 0u : 10u);
    }
}

// A calculation that changed some rows rewrites only the vertices those rows reach, and
// the buffers then equal freshly prepared ones byte for byte.
TEST(PreviewMesh, PartialRefreshEqualsAFreshPreparation) {
    auto doc = kMakeBenchmarkObject(64);
    KBdlMuscle* muscle = linearMuscle(*doc);
    ASSERT_NE(muscle, nullptr);
    KPreviewMesh mesh;
    mesh.prepare(*doc, {});
    for (float dv : {0.05f, -0.02f, 0.2f}) {
        SCOPED_TRACE(dv);
        moveAndRecordRows(*doc, *muscle, dv);
        ASSERT_FALSE(doc->changedRegion.isEmpty());
        const KPreviewRefresh refresh = mesh.update(*doc, {});
        EXPECT_FALSE(refresh.full);
        EXPECT_GT(refresh.vertexCount, 0u);
        EXPECT_LT(refresh.vertexCount, mesh.vertices().size());
        KPreviewMesh fresh;
        fresh.prepare(*doc, {});
        expectSameBuffers(mesh, fresh);
    }
}

// Whatever the buffers cannot be sure of is prepared in full.
TEST(PreviewMesh, UpdatePreparesEverythingUnlessOneKnownRegionChanged) {
    struct Case {
        const char* name;
        void (*change)(CPexaDoc&, KBdlMuscle&);
        KPreviewMeshOptions options;
        bool full;
    };
    const Case cases[] = {
        {"the document's own partial recalculation",
         [](CPexaDoc& d, KBdlMuscle& m) {
             m.offsetV += 0.05f;
             d.itemChanged(CPexaDoc::HintMuscle, &m);
         },
         {},
         false},
        {"one calculation, whole grid",
         [](CPexaDoc& d, KBdlMuscle& m) {
             moveAndRecordRows(d, m, 0.05f);
             d.changedRegion = KGridRegion::all();
         },
         {},
         true},
        {"two calculations since",
         [](CPexaDoc& d, KBdlMuscle& m) {
             moveAndRecordRows(d, m, 0.05f);
             ++d.calculationCount;
         },
         {},
         true},
        {"other layer mode",
         [](CPexaDoc& d, KBdlMuscle& m) { moveAndRecordRows(d, m, 0.05f); },
         {1, {}, false},
         true},
        {"grid of another size",
         [](CPexaDoc& d, KBdlMuscle&) {
             d.uResolution = 30;
             d.rebuildGrid();
             d.computeMesh();
             d.changedRegion = KGridRegion::rect(0, 30, 3, 4);
         },
         {},
         true},
        {"nothing changed",
         [](CPexaDoc& d, KBdlMuscle&) {
             ++d.calculationCount;
             d.changedRegion = KGridRegion::rect(0, -1, 0, -1);
         },
         {},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = kMakeBenchmarkObject(48);
        KPreviewMesh mesh;
        mesh.prepare(*doc, {});
        c.change(*doc, *linearMuscle(*doc));
        EXPECT_EQ(mesh.update(*doc, c.options).full, c.full);
        KPreviewMesh fresh;
        fresh.prepare(*doc, c.options);
        expectSameBuffers(mesh, fresh);
    }
}

// Point and Wire outline in white and keep the shade model; Flat and Smooth fill in the
// object colour (red in the low byte) and set their model.
TEST(PreviewShading, EachTypeHasItsStyle) {
    const uint32_t colour = 0x336699;
    const float r = float(0x99) / 255.0f;
    const float g = float(0x66) / 255.0f;
    const float b = float(0x33) / 255.0f;
    struct Case {
        int type;
        KPreviewShading expected;
    };
    const Case cases[] = {
        {KPreviewCamera::Point, {{1, 1, 1}, KPreviewShading::Points, KPreviewShading::KeepModel}},
        {KPreviewCamera::Wire, {{1, 1, 1}, KPreviewShading::Lines, KPreviewShading::KeepModel}},
        {KPreviewCamera::Flat, {{r, g, b}, KPreviewShading::Filled, KPreviewShading::FlatModel}},
        {KPreviewCamera::Smooth,
         {{r, g, b}, KPreviewShading::Filled, KPreviewShading::SmoothModel}},
        {7, {{r, g, b}, KPreviewShading::Filled, KPreviewShading::SmoothModel}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KPreviewShading::of(c.type, colour), c.expected) << c.type;
    }
}
