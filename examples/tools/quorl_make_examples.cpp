// quorl_make_examples OUTDIR: builds the example documents with the core and writes them
// to OUTDIR as .qrz files, with the TGA images their layers use beside them. A layer
// image is stored under its bare file name, which is found beside the document.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "document/CPexaDoc.h"
#include "document/KCoreClasses.h"
#include "document/KDocumentFile.h"
#include "document/KSampleObjects.h"
#include "image/KImageMapTga.h"
#include "platform/KNumberText.h"
#include "platform/KScriptedUi.h"

namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.14159265358979323846;

std::unique_ptr<KBdlMuscle> muscle(int type, const std::string& name, float height) {
    auto m = std::make_unique<KBdlMuscle>(type);
    m->name = name;
    m->height = height;
    return m;
}

void add(CPexaDoc& doc, int layer, std::unique_ptr<KBdlMuscle> m) {
    doc.addMuscleToLayer(doc.layerAt(layer), m);
}

// "< a, b >" with three decimals.
std::string pt(double a, double b) {
    return "< " + kFormatFixed(a, 3) + ", " + kFormatFixed(b, 3) + " >";
}

// A straight band centre at c.
KBdlCurve straight(double c) {
    return KBdlCurve(pt(0, c) + ", " + pt(0.5, c) + ", " + pt(1, c));
}

// A width curve of constant half width w.
KBdlCurve width(double w) {
    return KBdlCurve(pt(0, w) + ", " + pt(0.5, w) + ", " + pt(1, w));
}

// The radius curve of a point muscle, constant r all round. The map view draws a point
// muscle's outline through the curve's points, so it takes one every quarter turn.
KBdlCurve ring(double r) {
    return KBdlCurve(pt(0, r) + ", " + pt(0.25, r) + ", " + pt(0.5, r) + ", " + pt(0.75, r) + ", " +
                     pt(1, r));
}

// Writes an image whose height at (u, v) in [0, 1]^2 is h(u, v) in [0, 1] and attaches
// it to a new layer of the document under its bare file name. The heights are 16-bit
// values so a gentle image shows no steps.
bool addImageLayer(CPexaDoc& doc, const fs::path& dir, const std::string& file,
                   const std::string& layerName, float imageScale, int size,
                   const std::function<double(double, double)>& h) {
    auto image = std::make_unique<KImageMapTga>();
    image->setFormat(16, KImageMap::Option88);
    image->resize(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            image->setHeight(x, y, h(x / double(size - 1), y / double(size - 1)));
        }
    }
    if (image->save((dir / file).string()) != KImageMapTga::SaveOk) {
        std::fprintf(stderr, "quorl_make_examples: cannot write %s\n", (dir / file).c_str());
        return false;
    }
    image->name = file;
    auto layer = std::make_unique<KBdlLayer>();
    layer->name = layerName;
    layer->imageScale = imageScale;
    std::unique_ptr<KImageMap> map = std::move(image);
    layer->setImageMap(map);
    doc.layers.push_back(std::move(layer));
    return true;
}

// The limb of the command line's demo: three bending segments, muscles on three layers
// and a skin relief image on a fourth.
std::unique_ptr<CPexaDoc> makeLimb(const fs::path& dir) {
    std::string error;
    const std::string file = "limb-skin.tga";
    std::unique_ptr<CPexaDoc> doc = kMakeLimbObject((dir / file).string(), &error);
    if (!doc) {
        std::fprintf(stderr, "quorl_make_examples: %s\n", error.c_str());
        return nullptr;
    }
    for (auto& layer : doc->layers) {
        if (KImageMap* image = layer->getImageMap()) {
            image->name = file;
        }
    }
    return doc;
}

// A ribbed gourd on the Spheric shape: twisted ribs from pole to pole, a ring of
// knobs around its shoulder and a dimple at the stalk.
std::unique_ptr<CPexaDoc> makeShell(const fs::path&) {
    auto doc = std::make_unique<CPexaDoc>();
    doc->objectName = "Shell";
    doc->description = "A ribbed gourd on the Spheric shape: twisted ribs, a ring of knobs";
    doc->uResolution = 96;
    doc->vResolution = 72;
    doc->baseShape = CPexaDoc::Spheric;
    doc->bodyPart.setDocumentDefaults(doc->uResolution, doc->vResolution);
    doc->bodyPart.uFactor = 0.45f;
    doc->bodyPart.vProfile = KBdlCurve(
        "< 0, 0.55 >, < 0.2, 0.9 >, < 0.45, 1.0 >, < 0.7, 0.85 >, < 0.9, 0.6 >, < 1, 0.45 >",
        doc->vResolution, KBdlCurve::PolyLine);

    const int ribs = 14;
    for (int i = 0; i < ribs; ++i) {
        const double c = (i + 0.5) / ribs;
        auto rib = muscle(KBdlMuscle::Linear, "rib " + std::to_string(i + 1), 0.07f);
        rib->begin = 0.04f;
        rib->end = 0.96f;
        rib->center = KBdlCurve(pt(0, c) + ", " + pt(0.5, c + 0.05) + ", " + pt(1, c + 0.1));
        rib->widthLo = width(0.028);
        rib->widthHi = width(0.028);
        rib->heightCurve = KBdlCurve("< 0, 0.20 >, < 0.30, 1.00 >, < 0.60, 0.90 >, < 1.00, 0.20 >");
        rib->crossSection = KBdlCurve("< 0, 0.00 >, < 0.30, 0.70 >, < 0.50, 1.00 >, "
                                      "< 0.70, 0.70 >, < 1.00, 0.00 >");
        add(*doc, 1, std::move(rib));
    }
    auto girdle = muscle(KBdlMuscle::Orbital, "girdle", 0.04f);
    girdle->center = straight(0.62);
    girdle->widthLo = width(0.05);
    girdle->widthHi = width(0.05);
    add(*doc, 0, std::move(girdle));
    for (int i = 0; i < ribs; ++i) {
        auto knob = muscle(KBdlMuscle::Point, "knob " + std::to_string(i + 1), 0.05f);
        knob->offsetU = float((i + 0.5) / ribs + 0.07 - 0.5);
        knob->offsetV = 0.12f;
        add(*doc, 2, std::move(knob));
    }
    auto dimple = muscle(KBdlMuscle::Orbital, "stalk dimple", -0.08f);
    dimple->center = straight(0.97);
    dimple->widthLo = width(0.04);
    dimple->widthHi = width(0.04);
    add(*doc, 2, std::move(dimple));
    return doc;
}

// A relief tile on the Planar shape: a leaf with a midrib and veins raised from the
// tile, a scattering of seeds, and a pebbled ground from an image layer.
std::unique_ptr<CPexaDoc> makeRelief(const fs::path& dir) {
    auto doc = std::make_unique<CPexaDoc>();
    doc->objectName = "Relief";
    doc->description = "A leaf relief on the Planar shape over a pebbled image layer";
    doc->uResolution = 160;
    doc->vResolution = 160;
    doc->baseShape = CPexaDoc::Planar;
    doc->bodyPart.setDocumentDefaults(doc->uResolution, doc->vResolution);
    doc->bodyPart.uFactor = 0.0f;

    auto leaf = muscle(KBdlMuscle::Linear, "leaf", 0.08f);
    leaf->begin = 0.12f;
    leaf->end = 0.9f;
    leaf->center = KBdlCurve("< 0, 0.45 >, < 0.50, 0.52 >, < 1.00, 0.48 >");
    leaf->widthLo = KBdlCurve("< 0, 0.02 >, < 0.35, 0.22 >, < 0.70, 0.18 >, < 1.00, 0.01 >");
    leaf->widthHi = KBdlCurve("< 0, 0.02 >, < 0.35, 0.22 >, < 0.70, 0.18 >, < 1.00, 0.01 >");
    leaf->heightCurve = KBdlCurve("< 0, 0.40 >, < 0.40, 1.00 >, < 1.00, 0.50 >");
    leaf->crossSection = KBdlCurve("< 0, 0.00 >, < 0.15, 0.80 >, < 0.50, 1.00 >, "
                                   "< 0.85, 0.80 >, < 1.00, 0.00 >");
    add(*doc, 0, std::move(leaf));

    auto midrib = muscle(KBdlMuscle::Linear, "midrib", 0.08f);
    midrib->begin = 0.04f;
    midrib->end = 0.88f;
    midrib->center = KBdlCurve("< 0, 0.46 >, < 0.50, 0.52 >, < 1.00, 0.48 >");
    midrib->widthLo = width(0.02);
    midrib->widthHi = width(0.02);
    midrib->heightCurve = KBdlCurve("< 0, 1.00 >, < 0.50, 0.90 >, < 1.00, 0.40 >");
    add(*doc, 1, std::move(midrib));
    for (int i = 0; i < 5; ++i) {
        for (int side = 0; side < 2; ++side) {
            const double v = 0.25 + 0.12 * i;
            const double c = 0.49 + 0.02 * std::sin(kPi * (v - 0.12) / 0.78);
            auto vein = muscle(KBdlMuscle::Orbital, "vein", 0.03f);
            const double reach = 0.17 * std::sin(kPi * (v - 0.08) / 0.85);
            vein->begin = float(side ? c : c - reach);
            vein->end = float(side ? c + reach : c);
            const double rise = 0.06;
            vein->center = side ? KBdlCurve(pt(0, v) + ", " + pt(1, v + rise))
                                : KBdlCurve(pt(0, v + rise) + ", " + pt(1, v));
            vein->widthLo = width(0.012);
            vein->widthHi = width(0.012);
            vein->heightCurve = side ? KBdlCurve("< 0, 1.00 >, < 1.00, 0.10 >")
                                     : KBdlCurve("< 0, 0.10 >, < 1.00, 1.00 >");
            add(*doc, 1, std::move(vein));
        }
    }
    const double seeds[][2] = {{0.18, 0.2}, {0.8, 0.3}, {0.84, 0.72}, {0.15, 0.78}, {0.25, 0.9}};
    for (const auto& s : seeds) {
        auto seed = muscle(KBdlMuscle::Point, "seed", 0.05f);
        seed->offsetU = float(s[0] - 0.5);
        seed->offsetV = float(s[1] - 0.5);
        seed->crossSection =
            KBdlCurve("< 0, 1.00 >, < 0.40, 0.90 >, < 0.75, 0.55 >, < 1.00, 0.00 >");
        add(*doc, 2, std::move(seed));
    }
    // Pebbles: rounded cells from a few interfering waves.
    const bool ok = addImageLayer(*doc, dir, "relief-pebbles.tga", "Pebbles", 0.025f, 161,
                                  [](double u, double v) {
                                      const double a = std::sin(23.0 * u + 3.0 * std::sin(7.0 * v));
                                      const double b = std::sin(19.0 * v + 2.0 * std::sin(9.0 * u));
                                      return 0.5 + 0.5 * a * b;
                                  });
    return ok ? std::move(doc) : nullptr;
}

// A torso on a superquadric tube of rounded-box section: the bone surface along V gives
// hips, waist, chest and shoulders; muscles add the chest, shoulder blades, abdominal
// blocks, the groove of the spine and a navel.
std::unique_ptr<CPexaDoc> makeTorso(const fs::path&) {
    auto doc = std::make_unique<CPexaDoc>();
    doc->objectName = "Torso";
    doc->description = "A torso on a superquadric of rounded-box section";
    doc->uResolution = 96;
    doc->vResolution = 96;
    doc->baseShape = CPexaDoc::SuperQuad;
    KBdlBodyPart& body = doc->bodyPart;
    body.setDocumentDefaults(doc->uResolution, doc->vResolution);
    body.uFactor = 0.0f;
    body.uOffset = 1.0f;
    body.vFactor = 0.12f;
    body.vProfile = KBdlCurve("< 0, 0.55 >, < 0.12, 0.75 >, < 0.25, 0.55 >, < 0.38, 0.15 >, "
                              "< 0.55, 0.35 >, < 0.72, 0.80 >, < 0.86, 1.00 >, < 0.94, 0.85 >, "
                              "< 1, 0.30 >",
                              doc->vResolution);
    KShapeSuperQ& sq = body.superQuad;
    sq.type = KShapeSuperQ::Conic;
    sq.exponent1 = 2.8f;
    sq.boundX = 0.30f;
    sq.boundY = 1.3f;
    sq.boundZ = 0.19f;
    sq.rad1 = 1.0f;

    // The front faces the viewer at u = 0.75, the back is u = 0.25.
    const float up = 1.0f;
    for (int side = 0; side < 2; ++side) {
        auto pec = muscle(KBdlMuscle::Point, side ? "left pectoral" : "right pectoral", 0.035f);
        pec->offsetU = float((side ? 0.83 : 0.67) - 0.5);
        pec->offsetV = up * 0.27f;
        pec->widthLo = ring(0.12);
        pec->widthHi = ring(0.12);
        pec->crossSection =
            KBdlCurve("< 0, 1.00 >, < 0.45, 0.85 >, < 0.80, 0.40 >, < 1.00, 0.00 >");
        add(*doc, 1, std::move(pec));
        auto blade =
            muscle(KBdlMuscle::Point, side ? "left shoulder blade" : "right shoulder blade", 0.04f);
        blade->offsetU = float((side ? 0.34 : 0.16) - 0.5);
        blade->offsetV = up * 0.3f;
        blade->widthLo = ring(0.08);
        blade->widthHi = ring(0.08);
        add(*doc, 0, std::move(blade));
    }
    for (int row = 0; row < 3; ++row) {
        for (int side = 0; side < 2; ++side) {
            auto ab = muscle(KBdlMuscle::Point, "abdominal", 0.025f);
            ab->offsetU = float((side ? 0.785 : 0.715) - 0.5);
            ab->offsetV = up * float(0.1 - 0.1 * row);
            ab->widthLo = ring(0.045);
            ab->widthHi = ring(0.045);
            add(*doc, 1, std::move(ab));
        }
    }
    auto spine = muscle(KBdlMuscle::Linear, "spine", -0.03f);
    spine->begin = 0.1f;
    spine->end = 0.95f;
    spine->center = straight(0.25);
    spine->widthLo = width(0.025);
    spine->widthHi = width(0.025);
    add(*doc, 2, std::move(spine));
    auto navel = muscle(KBdlMuscle::Point, "navel", -0.02f);
    navel->offsetU = 0.25f;
    navel->offsetV = up * -0.25f;
    navel->widthLo = ring(0.012);
    navel->widthHi = ring(0.012);
    add(*doc, 2, std::move(navel));
    return doc;
}

struct Example {
    const char* file;
    std::unique_ptr<CPexaDoc> (*make)(const fs::path&);
    // The 3D preview's stored camera, so the whole object shows when the document opens
    // (and in quorl --render): a shift across and up the screen, and a uniform scale.
    float shiftX;
    float shiftY;
    float scale;
};

const Example kExamples[] = {
    {"limb.qrz", makeLimb, 0.4f, -0.15f, 0.7f},
    {"shell.qrz", makeShell, 0.0f, 0.0f, 1.0f},
    {"relief.qrz", makeRelief, 0.0f, 0.0f, 1.0f},
    {"torso.qrz", makeTorso, 0.0f, -0.55f, 0.8f},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("Usage: quorl_make_examples OUTDIR\n", stderr);
        return 1;
    }
    KRegisterCoreClasses();
    KScriptedUi ui; // no questions are expected; any message is reported below
    KUiScope scope(ui);
    const fs::path dir = argv[1];
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (const Example& e : kExamples) {
        std::unique_ptr<CPexaDoc> doc = e.make(dir);
        if (!doc) {
            return 3;
        }
        doc->preview.translate[0] = e.shiftX;
        doc->preview.translate[1] = e.shiftY;
        for (float& s : doc->preview.scale) {
            s = e.scale;
        }
        doc->rebuildGrid();
        std::string error;
        if (!kSaveDocument(*doc, (dir / e.file).string(), &error)) {
            std::fprintf(stderr, "quorl_make_examples: %s\n", error.c_str());
            return 3;
        }
        std::printf("%s\n", (dir / e.file).c_str());
    }
    for (const auto& m : ui.messages()) {
        std::fprintf(stderr, "quorl_make_examples: %s\n", m.c_str());
    }
    return ui.messages().empty() ? 0 : 3;
}
