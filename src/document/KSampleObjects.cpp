#include "document/KSampleObjects.h"

#include <charconv>
#include <cmath>

#include "document/CPexaDoc.h"
#include "image/KImageMapTga.h"
#include "platform/KNumberText.h"

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
            const double h =
                0.5 + 0.25 * std::sin(12.0 * u * 3.14159265) * std::cos(9.0 * v * 3.14159265);
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

// A small fixed pseudo-random sequence, so the benchmark scene is the same everywhere.
class Sequence {
public:
    double next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return double(state_ >> 11) / double(1ull << 53);
    }
    double between(double lo, double hi) { return lo + (hi - lo) * next(); }
    int below(int n) { return int(next() * n); }

private:
    uint64_t state_ = 0x5175726C;
};

// A Spline of n points over [0, 1] with values between lo and hi.
std::string randomCurve(Sequence& seq, int n, double lo, double hi) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i) {
            s += ", ";
        }
        s += "< " + kFormatFixed(double(i) / (n - 1), 3) + ", " +
             kFormatFixed(seq.between(lo, hi), 3) + " >";
    }
    return s;
}

// "m0", "m1", ...
std::string muscleName(int i) {
    char text[16] = {'m'};
    const auto end = std::to_chars(text + 1, text + sizeof text, i).ptr;
    return std::string(text, end);
}

std::unique_ptr<KImageMap> makeNoiseImage(int size) {
    auto image = std::make_unique<KImageMapTga>();
    image->setFormat(8, KImageMap::OptionGray8);
    image->resize(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            image->setHeight(x, y, 0.5 + 0.5 * std::sin(0.3 * x) * std::sin(0.2 * y));
        }
    }
    image->name = "generated-noise.tga";
    return image;
}

} // namespace

std::unique_ptr<CPexaDoc> kMakeBenchmarkObject(int resolution) {
    auto doc = std::make_unique<CPexaDoc>();
    doc->objectName = "Benchmark";
    doc->uResolution = resolution;
    doc->vResolution = resolution;
    doc->bodyPart.setDocumentDefaults(resolution, resolution);
    doc->baseShape = CPexaDoc::Conic;
    Sequence seq;
    const int types[] = {KBdlMuscle::Linear, KBdlMuscle::Orbital, KBdlMuscle::Point};
    for (int i = 0; i < 40; ++i) {
        const int type = types[i % 3];
        auto m = std::make_unique<KBdlMuscle>(type);
        m->name = muscleName(i);
        m->height = float(seq.between(-0.1, 0.3));
        const double width = seq.between(0.02, 0.2);
        m->widthLo = KBdlCurve(randomCurve(seq, 3 + seq.below(5), 0.5 * width, width));
        m->symmetricWidth = i % 4 == 0 ? 0 : 1;
        m->widthHi = KBdlCurve(randomCurve(seq, 3 + seq.below(5), 0.5 * width, width));
        m->heightCurve = KBdlCurve(randomCurve(seq, 3 + seq.below(5), 0.2, 1.0));
        m->crossSection = KBdlCurve(randomCurve(seq, 3 + seq.below(5), 0.0, 1.0));
        if (type == KBdlMuscle::Point) {
            m->offsetU = float(seq.between(-0.4, 0.4));
            m->offsetV = float(seq.between(-0.4, 0.4));
        } else {
            const double c = seq.between(0.1, 0.9);
            m->center = KBdlCurve(randomCurve(seq, 3 + seq.below(5), c - 0.05, c + 0.05));
            m->begin = float(seq.between(0.0, 0.5));
            m->end = float(m->begin + seq.between(0.2, 0.5));
        }
        doc->addMuscleToLayer(doc->layerAt(i % 3), m);
    }
    std::unique_ptr<KImageMap> image = makeNoiseImage(256);
    doc->layers[2]->setImageMap(image);
    doc->layers[2]->imageScale = 0.05f;
    doc->rebuildGrid();
    doc->setModified(false);
    return doc;
}

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
    body.vProfile =
        KBdlCurve("< 0, 0.6 >, < 0.15, 1.0 >, < 0.5, 0.85 >, < 0.85, 0.75 >, < 1, 0.5 >",
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
