#include "document/KSampleObjects.h"

#include <cmath>

#include "document/CPexaDoc.h"
#include "image/KImageMapTga.h"

namespace {

std::unique_ptr<KBdlMuscle> makeMuscle(int type, const char* name, float height) {
    auto m = std::make_unique<KBdlMuscle>(type);
    m->name = name;
    m->height = height;
    return m;
}

void add(CPexaDoc& doc, int layer, std::unique_ptr<KBdlMuscle> m) {
    doc.addMuscleToLayer(doc.layerAt(layer), m);
}

// A soft relief of crossing ripples, 64 x 64 grey pixels.
bool writeRelief(const std::string& path, std::string* error) {
    KImageMapTga image;
    image.setFormat(8, KImageMap::OptionGray8);
    image.resize(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const double u = x / 63.0, v = y / 63.0;
            const double h = 0.5 + 0.25 * std::sin(12.0 * u * 3.14159265) * std::cos(9.0 * v * 3.14159265);
            image.setHeight(x, y, h);
        }
    }
    if (image.save(path) != KImageMapTga::SaveOk) {
        if (error) {
            *error = "cannot write the relief image \"" + path + "\"";
        }
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<CPexaDoc> kMakeLimbObject(const std::string& imagePath, std::string* error) {
    auto doc = std::make_unique<CPexaDoc>();
    doc->objectName = "Limb";
    doc->description = "A bent limb with muscles on three layers";
    doc->uResolution = 48;
    doc->vResolution = 64;
    doc->baseShape = CPexaDoc::Conic;
    doc->scalingV = 0.8;

    KBdlBodyPart& body = doc->bodyPart;
    body.lengths = KBdlCurve("< 0.2, 1.2, 0.2 >, < 0.25, 1.0, 0.25 >, < 0.2, 0.7, 0.2 >",
                             doc->vResolution, KBdlCurve::AxisY);
    body.jointBends = KBdlCurve("< 0, 0, 25 >, < 0, 0, 35 >, < 0, 0, 0 >", doc->vResolution);
    body.bendsOn = 1;
    body.vProfile = KBdlCurve("< 0, 0.6 >, < 0.15, 1.0 >, < 0.5, 0.85 >, < 0.85, 0.75 >, < 1, 0.5 >",
                              doc->vResolution, KBdlCurve::PolyLine);
    body.uFactor = 0.35f;
    body.ensureJoints();

    // Bone Surfaces: two ridges running around the limb.
    auto ridge = makeMuscle(KBdlMuscle::Orbital, "ridge", 0.06f);
    ridge->center = KBdlCurve("< 0, 0.30 >, < 0.50, 0.32 >, < 1.00, 0.30 >");
    add(*doc, 0, std::move(ridge));
    auto ridge2 = makeMuscle(KBdlMuscle::Orbital, "knuckle ring", 0.05f);
    ridge2->center = KBdlCurve("< 0, 0.68 >, < 0.50, 0.66 >, < 1.00, 0.68 >");
    add(*doc, 0, std::move(ridge2));

    // Exterior Muscles: long muscles along the limb.
    auto biceps = makeMuscle(KBdlMuscle::Linear, "biceps", 0.18f);
    biceps->begin = 0.05f;
    biceps->end = 0.45f;
    biceps->center = KBdlCurve("< 0, 0.25 >, < 0.50, 0.27 >, < 1.00, 0.25 >");
    add(*doc, 1, std::move(biceps));
    auto triceps = makeMuscle(KBdlMuscle::Linear, "triceps", 0.14f);
    triceps->begin = 0.08f;
    triceps->end = 0.42f;
    triceps->center = KBdlCurve("< 0, 0.75 >, < 0.50, 0.73 >, < 1.00, 0.75 >");
    add(*doc, 1, std::move(triceps));
    auto forearm = makeMuscle(KBdlMuscle::Linear, "forearm", 0.1f);
    forearm->begin = 0.5f;
    forearm->end = 0.9f;
    forearm->center = KBdlCurve("< 0, 0.40 >, < 0.50, 0.50 >, < 1.00, 0.60 >");
    add(*doc, 1, std::move(forearm));

    // Epidermal Distortions: small bumps.
    const float spots[][2] = {{0.2f, 0.2f}, {0.6f, 0.35f}, {0.85f, 0.7f}};
    int n = 0;
    for (const auto& s : spots) {
        auto bump = makeMuscle(KBdlMuscle::Point, n == 0 ? "mole" : "bump", 0.05f);
        bump->offsetU = s[0] - 0.5f;
        bump->offsetV = s[1] - 0.5f;
        add(*doc, 2, std::move(bump));
        ++n;
    }

    if (!imagePath.empty()) {
        if (!writeRelief(imagePath, error)) {
            return nullptr;
        }
        auto skin = std::make_unique<KBdlLayer>();
        skin->name = "Skin Relief";
        skin->imageScale = 0.04f;
        std::unique_ptr<KImageMap> map = std::make_unique<KImageMapTga>(imagePath);
        skin->setImageMap(map);
        doc->layers.push_back(std::move(skin));
    }
    doc->rebuildGrid();
    doc->setModified(false);
    return doc;
}
