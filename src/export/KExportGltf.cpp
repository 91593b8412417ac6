// glTF 2.0 binary files (.glb): a JSON chunk describing one mesh and node per exported
// object, and a binary chunk with their positions, normals (when the normals flag is on),
// texture coordinates and triangle indices. glTF is right-handed: z is always mirrored as
// the OBJ writer mirrors it by default, and the corners of each triangle are ordered so
// that its front faces along the normals; the mirror, invert and winding options of the
// other formats do not apply.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "document/KTexture.h"
#include "export/KExportJob.h"
#include "export/KExportParts.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"

namespace {

constexpr uint32_t kMagic = 0x46546C67; // "glTF"
constexpr uint32_t kJsonChunk = 0x4E4F534A;
constexpr uint32_t kBinChunk = 0x004E4942;
constexpr int kFloat = 5126;
constexpr int kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

// A JSON number that reads back as exactly v (shortest round trip, locale-free).
void jsonNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        v = 0.0;
    }
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void jsonInt(std::string& out, long long v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// The length of the well-formed UTF-8 sequence at s[at], or 0 when it is not one.
size_t utf8Length(std::string_view s, size_t at) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(at);
    size_t n = 0;
    uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (at + n > s.size()) {
        return 0;
    }
    for (size_t k = 1; k < n; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (byte(at + k) & 0x3F);
    }
    const bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    return overlong || surrogate || cp > 0x10FFFF ? 0 : n;
}

} // namespace

// A JSON string: quotes, backslashes and control characters escaped; bytes that are not
// UTF-8 (names from old files may be in a single-byte code page) become U+FFFD.
std::string kJsonString(std::string_view s) {
    static const char* hex = "0123456789abcdef";
    std::string out = "\"";
    for (size_t at = 0; at < s.size();) {
        const auto c = static_cast<unsigned char>(s[at]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++at;
        } else if (c < 0x20) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
            ++at;
        } else if (c < 0x80) {
            out += char(c);
            ++at;
        } else if (const size_t n = utf8Length(s, at); n > 0) {
            out.append(s.substr(at, n));
            at += n;
        } else {
            out += "\xEF\xBF\xBD";
            ++at;
        }
    }
    return out + "\"";
}

namespace {

// The binary data of one mesh and the ranges of its float values.
struct MeshData {
    std::string positions, normals, uvs, indices;
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
    size_t vertices = 0;
    size_t triangles = 0;
};

// A unit normal in the file's frame; samples where none could be computed (all their
// neighbours coincide) get the up axis, since glTF requires unit normals.
void putNormal(std::string& out, const KVertex& n) {
    const KVertex m = KFileFrame().normal(n);
    const double len = m.length();
    if (len > 0.5 && std::isfinite(len)) {
        kPutF32(out, float(m.x / len));
        kPutF32(out, float(m.y / len));
        kPutF32(out, float(m.z / len));
    } else {
        kPutF32(out, 0.0f);
        kPutF32(out, 1.0f);
        kPutF32(out, 0.0f);
    }
}

// Fills data from the mesh row by row with the progress bar and the cancel check after
// each row. False when the user cancelled.
bool buildMesh(KExportJob& job, const KMeshGrid& mesh, bool normals, bool uv, bool itemUv,
               MeshData& data) {
    const KFileFrame frame;
    const auto pos = mesh.positions();
    const auto nrm = mesh.normals();
    const int32_t nv = mesh.vCount();
    data.vertices = mesh.sampleCount();
    data.triangles = kTriangleCount(mesh);
    data.positions.reserve(12 * data.vertices);
    if (normals) {
        data.normals.reserve(12 * data.vertices);
    }
    data.indices.reserve(12 * data.triangles);
    bool first = true;
    for (int32_t j = 0; j < nv; ++j) {
        for (int32_t i = 0; i < mesh.uCount(); ++i) {
            const size_t k = mesh.index(i, j);
            const KVertex p = frame.position(pos[k]);
            const float xyz[3] = {float(p.x), float(p.y), float(p.z)};
            for (int c = 0; c < 3; ++c) {
                kPutF32(data.positions, xyz[c]);
                data.min[c] = first ? xyz[c] : std::min(data.min[c], xyz[c]);
                data.max[c] = first ? xyz[c] : std::max(data.max[c], xyz[c]);
            }
            first = false;
            if (normals) {
                putNormal(data.normals, nrm[k]);
            }
            if (uv) {
                // glTF puts the texture's origin at its top-left corner.
                const KVertex& t = kUvRecord(mesh, k, itemUv);
                kPutF32(data.uvs, float(t.x));
                kPutF32(data.uvs, float(1.0 - t.z));
            }
        }
        if (j + 1 < nv) {
            for (int32_t i = 1; i < mesh.uCount(); ++i) {
                size_t idx[6];
                kCellTriangles(mesh, j, i, frame.turned, idx);
                for (size_t v : idx) {
                    kPutU32(data.indices, uint32_t(v));
                }
            }
        }
        job.position(kRowProgress(j + 1, nv + 1));
        if (job.cancelRequested()) {
            return false;
        }
    }
    return true;
}

// The JSON arrays and the binary buffer, filled mesh by mesh.
class Document {
public:
    void addMesh(const KExportPart& part, const MeshData& d, int material) {
        const int position = accessor(d.positions, kArrayBuffer, d.vertices, "VEC3", &d);
        const int normal =
            d.normals.empty() ? -1 : accessor(d.normals, kArrayBuffer, d.vertices, "VEC3");
        const int uv = d.uvs.empty() ? -1 : accessor(d.uvs, kArrayBuffer, d.vertices, "VEC2");
        const int indices = accessor(d.indices, kElementArrayBuffer, 3 * d.triangles, "SCALAR",
                                     nullptr, kUnsignedInt);
        const int mesh = meshCount_++;
        std::string& m = separated(meshes_);
        m += "{\"name\":" + kJsonString(part.name) + ",\"primitives\":[{\"attributes\":{";
        m += "\"POSITION\":";
        jsonInt(m, position);
        if (normal >= 0) {
            m += ",\"NORMAL\":";
            jsonInt(m, normal);
        }
        if (uv >= 0) {
            m += ",\"TEXCOORD_0\":";
            jsonInt(m, uv);
        }
        m += "},\"indices\":";
        jsonInt(m, indices);
        if (material >= 0) {
            m += ",\"material\":";
            jsonInt(m, material);
        }
        m += ",\"mode\":4}]";
        if (part.item) {
            m += ",\"extras\":{\"layer\":" + kJsonString(part.layerName) +
                 ",\"muscle\":" + kJsonString(part.muscleName) + "}";
        }
        m += "}";
        std::string& n = separated(nodes_);
        n += "{\"name\":" + kJsonString(part.name) + ",\"mesh\":";
        jsonInt(n, mesh);
        n += "}";
    }

    // A material for the texture entry: its diffuse colour scaled by its factor, as base
    // colour (converted from the display's sRGB values to glTF's linear ones).
    void addMaterial(const KTexture& t) {
        const KVertex c = KTexture::scaled(t.diffuse, t.diffuseFactor);
        std::string& m = separated(materials_);
        m +=
            "{\"name\":" + kJsonString(t.name) + ",\"pbrMetallicRoughness\":{\"baseColorFactor\":[";
        const double rgb[3] = {c.x, c.y, c.z};
        for (double v : rgb) {
            jsonNumber(m, linear(v));
            m += ',';
        }
        jsonNumber(m, clamp01(c.w));
        m += "],\"metallicFactor\":0},\"doubleSided\":true}";
    }

    std::string json(const std::string& sceneName) const {
        std::string j = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Quorl glTF exporter\"},";
        j += "\"scene\":0,\"scenes\":[{\"name\":" + kJsonString(sceneName);
        if (meshCount_ > 0) {
            j += ",\"nodes\":[";
            for (int k = 0; k < meshCount_; ++k) {
                if (k > 0) {
                    j += ',';
                }
                jsonInt(j, k);
            }
            j += "]";
        }
        j += "}]";
        if (meshCount_ > 0) {
            j += ",\"nodes\":[" + nodes_ + "],\"meshes\":[" + meshes_ + "]";
            if (!materials_.empty()) {
                j += ",\"materials\":[" + materials_ + "]";
            }
            j += ",\"accessors\":[" + accessors_ + "],\"bufferViews\":[" + views_ + "]";
            j += ",\"buffers\":[{\"byteLength\":";
            jsonInt(j, static_cast<long long>(bin_.size()));
            j += "}]";
        }
        return j + "}";
    }

    const std::string& bin() const { return bin_; }

private:
    static double clamp01(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; }
    static double linear(double srgb) {
        const double c = clamp01(srgb);
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }

    static std::string& separated(std::string& list) {
        if (!list.empty()) {
            list += ',';
        }
        return list;
    }

    // A buffer view over bytes (appended to the buffer) and an accessor reading it.
    int accessor(const std::string& bytes, int target, size_t count, const char* type,
                 const MeshData* bounds = nullptr, int componentType = kFloat) {
        const int view = viewCount_++;
        std::string& v = separated(views_);
        v += "{\"buffer\":0,\"byteOffset\":";
        jsonInt(v, static_cast<long long>(bin_.size()));
        v += ",\"byteLength\":";
        jsonInt(v, static_cast<long long>(bytes.size()));
        v += ",\"target\":";
        jsonInt(v, target);
        v += "}";
        bin_ += bytes; // every array holds 4-byte values: the next view stays aligned

        std::string& a = separated(accessors_);
        a += "{\"bufferView\":";
        jsonInt(a, view);
        a += ",\"componentType\":";
        jsonInt(a, componentType);
        a += ",\"count\":";
        jsonInt(a, static_cast<long long>(count));
        a += ",\"type\":\"";
        a += type;
        a += "\"";
        if (bounds) {
            for (const auto& [key, values] :
                 {std::pair{"min", bounds->min}, std::pair{"max", bounds->max}}) {
                a += ",\"";
                a += key;
                a += "\":[";
                for (int c = 0; c < 3; ++c) {
                    if (c > 0) {
                        a += ',';
                    }
                    jsonNumber(a, double(values[c]));
                }
                a += "]";
            }
        }
        a += "}";
        return accessorCount_++;
    }

    std::string nodes_, meshes_, materials_, accessors_, views_, bin_;
    int meshCount_ = 0;
    int viewCount_ = 0;
    int accessorCount_ = 0;
};

void putChunk(std::string& out, uint32_t type, std::string data, char pad) {
    data.resize((data.size() + 3) / 4 * 4, pad);
    kPutU32(out, uint32_t(data.size()));
    kPutU32(out, type);
    out += data;
}

} // namespace

KExportResult kWriteGltf(CPexaDoc& doc, const std::string& path) {
    const KExportFlags& f = doc.exportFlags;
    KExportJob job(doc, path);
    std::vector<KExportPart> parts;
    KExportResult failure;
    const bool normals = f.normals != 0;
    if (!kGatherParts(job, normals, parts, failure)) {
        return failure;
    }
    Document gltf;
    // One material per texture entry in use, in the order of first use.
    std::map<size_t, int> materialOf;
    for (size_t n = 0; n < parts.size(); ++n) {
        const KExportPart& part = parts[n];
        kPartStatus(job, part, n == 0);
        MeshData data;
        if (!buildMesh(job, *part.mesh, normals, f.uv != 0, f.uv == 2, data)) {
            return kCancelledExport(job);
        }
        int material = -1;
        if (const KTexture* t = doc.textures.textureAt(part.textureIndex)) {
            const auto entry = size_t(t - doc.textures.entries.data());
            const auto found = materialOf.find(entry);
            if (found != materialOf.end()) {
                material = found->second;
            } else {
                material = int(materialOf.size());
                materialOf.emplace(entry, material);
                gltf.addMaterial(*t);
            }
        }
        gltf.addMesh(part, data, material);
    }
    const std::string& bin = gltf.bin();
    std::string chunks;
    putChunk(chunks, kJsonChunk, gltf.json(doc.objectName), ' ');
    if (!bin.empty()) {
        putChunk(chunks, kBinChunk, bin, '\0');
    }
    if (chunks.size() + 12 > std::numeric_limits<uint32_t>::max()) {
        return job.report("The mesh is too large for a glTF file!");
    }
    std::string head;
    kPutU32(head, kMagic);
    kPutU32(head, 2);
    kPutU32(head, uint32_t(chunks.size() + 12));
    job.out().text(head);
    job.out().text(chunks);
    return job.finish();
}
