#include "support/KMeshFileReaders.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "support/KExchangeReaders.h"

namespace {

using exchangetest::f32At;
using exchangetest::u32At;

double dot(const KVertex& a, const KVertex& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A triangle from indexed arrays; normals left zero when the file has none.
KReadTriangle indexed(const std::vector<KVertex>& pos, const std::vector<KVertex>& nrm,
                      const size_t idx[3]) {
    KReadTriangle t;
    for (int k = 0; k < 3; ++k) {
        t.corner[k] = pos[idx[k]];
        if (!nrm.empty()) {
            t.normal[k] = nrm[idx[k]];
        }
    }
    return t;
}

// "7", "7/7", "7//7" or "7/7/7": the vertex number and the normal number (0: none).
bool objCorner(const std::string& word, long& vertex, long& normal) {
    char* end = nullptr;
    vertex = std::strtol(word.c_str(), &end, 10);
    const bool number = end != word.c_str();
    const size_t third = word.find('/', word.find('/') + 1);
    normal = 0;
    if (third != std::string::npos) {
        normal = std::strtol(word.c_str() + third + 1, &end, 10);
        return number && *end == '\0' && normal != 0;
    }
    return number && (*end == '\0' || *end == '/');
}

} // namespace

KReadMesh kReadObj(const std::string& text) {
    KReadMesh mesh;
    std::vector<KVertex> pos, nrm;
    std::istringstream in(text);
    for (std::string line; mesh.error.empty() && std::getline(in, line);) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        KVertex v;
        if ((kind == "v" || kind == "vn") && !(words >> v.x >> v.y >> v.z)) {
            mesh.error = "bad line: " + line;
        } else if (kind == "v" || kind == "vn") {
            (kind == "v" ? pos : nrm).push_back(v);
        } else if (kind == "f") {
            KReadTriangle t;
            int k = 0;
            for (std::string word; mesh.error.empty() && words >> word; ++k) {
                long vi = 0, ni = 0;
                if (k > 2 || !objCorner(word, vi, ni) || vi < 1 || size_t(vi) > pos.size() ||
                    ni < 0 || size_t(ni) > nrm.size()) {
                    mesh.error = "bad face: " + line;
                } else {
                    t.corner[k] = pos[size_t(vi - 1)];
                    t.normal[k] = ni > 0 ? nrm[size_t(ni - 1)] : KVertex();
                    mesh.hasNormals = mesh.hasNormals || ni > 0;
                }
            }
            if (mesh.error.empty() && k != 3) {
                mesh.error = "not a triangle: " + line;
            }
            mesh.triangles.push_back(t);
        }
    }
    return mesh;
}

KReadMesh kReadPly(const std::string& bytes) {
    KReadMesh mesh;
    const size_t end = bytes.find("end_header\n");
    if (bytes.rfind("ply\n", 0) != 0 || end == std::string::npos) {
        mesh.error = "no PLY header";
        return mesh;
    }
    std::istringstream header(bytes.substr(0, end));
    bool ascii = false;
    size_t vertices = 0, faces = 0;
    std::vector<std::string> props; // the vertex element's float properties, in order
    std::string element;
    for (std::string line; mesh.error.empty() && std::getline(header, line);) {
        std::istringstream words(line);
        std::string key, a, b, c;
        words >> key >> a >> b >> c;
        if (key == "format") {
            ascii = a == "ascii";
            mesh.error = ascii || a == "binary_little_endian" ? "" : "format " + a;
        } else if (key == "element") {
            element = a;
            (a == "vertex" ? vertices : faces) = std::stoul(b);
        } else if (key == "property" && element == "vertex") {
            mesh.error = a == "float" ? "" : "vertex property " + line;
            props.push_back(b);
        } else if (key == "property" && !(a == "list" && b == "uchar" && c == "int")) {
            mesh.error = "face property " + line; // vertex_indices or vertex_index
        }
    }
    const auto column = [&](const char* name) {
        return size_t(std::find(props.begin(), props.end(), name) - props.begin());
    };
    const size_t x = column("x"), nx = column("nx");
    mesh.hasNormals = nx + 2 < props.size();
    if (mesh.error.empty() && x + 2 >= props.size()) {
        mesh.error = "no position";
    }
    const std::string body = bytes.substr(end + 11);
    std::istringstream text(body);
    size_t at = 0; // binary read position
    std::vector<KVertex> pos, nrm;
    std::vector<double> values(props.size());
    for (size_t v = 0; v < vertices && mesh.error.empty(); ++v) {
        for (double& value : values) {
            if (ascii) {
                text >> value;
            } else if (at + 4 <= body.size()) {
                value = f32At(body, at);
                at += 4;
            } else {
                mesh.error = "vertex list cut short";
            }
        }
        pos.push_back({values[x], values[x + 1], values[x + 2], 0});
        if (mesh.hasNormals) {
            nrm.push_back({values[nx], values[nx + 1], values[nx + 2], 0});
        }
    }
    for (size_t f = 0; f < faces && mesh.error.empty(); ++f) {
        size_t count = 0;
        size_t idx[3] = {0, 0, 0};
        if (ascii) {
            text >> count >> idx[0] >> idx[1] >> idx[2];
        } else if (at + 13 <= body.size()) {
            count = static_cast<unsigned char>(body[at]);
            for (size_t k = 0; k < 3; ++k) {
                idx[k] = u32At(body, at + 1 + 4 * k);
            }
            at += 13;
        }
        if (!text || count != 3 || std::max({idx[0], idx[1], idx[2]}) >= vertices) {
            mesh.error = "bad face " + std::to_string(f);
        } else {
            mesh.triangles.push_back(indexed(pos, nrm, idx));
        }
    }
    if (mesh.error.empty() && !ascii && at != body.size()) {
        mesh.error = "bytes after the face list";
    }
    return mesh;
}

KReadMesh kReadStl(const std::string& bytes) {
    KReadMesh mesh;
    mesh.hasNormals = true;
    const bool binary = bytes.size() >= 84 && bytes.size() == 84 + 50 * size_t(u32At(bytes, 80));
    if (binary) {
        for (size_t at = 84; at < bytes.size(); at += 50) {
            KReadTriangle t;
            const KVertex n{f32At(bytes, at), f32At(bytes, at + 4), f32At(bytes, at + 8), 0};
            for (size_t k = 0; k < 3; ++k) {
                const size_t c = at + 12 + 12 * k;
                t.corner[k] = {f32At(bytes, c), f32At(bytes, c + 4), f32At(bytes, c + 8), 0};
                t.normal[k] = n;
            }
            mesh.triangles.push_back(t);
        }
        return mesh;
    }
    if (bytes.rfind("solid ", 0) != 0) {
        mesh.error = "neither a binary nor a text STL file";
        return mesh;
    }
    std::istringstream in(bytes);
    KReadTriangle t;
    int corners = 0;
    for (std::string word; in >> word;) {
        if (word == "normal") {
            in >> t.normal[0].x >> t.normal[0].y >> t.normal[0].z;
            t.normal[2] = t.normal[1] = t.normal[0];
            corners = 0;
        } else if (word == "vertex" && corners < 3) {
            KVertex& c = t.corner[corners++];
            in >> c.x >> c.y >> c.z;
        } else if (word == "endfacet") {
            if (corners != 3) {
                mesh.error = "facet without three corners";
                return mesh;
            }
            mesh.triangles.push_back(t);
        }
    }
    return mesh;
}

KReadMesh kReadGlb(const std::string& bytes) {
    KReadMesh mesh;
    const exchangetest::Glb g = exchangetest::parseGlb(bytes);
    if (!g.ok) {
        mesh.error = "not a glTF binary file";
        return mesh;
    }
    auto vectors = [&](const exchangetest::Json& accessor) {
        std::vector<KVertex> out;
        const std::vector<double> v = g.read(int(accessor.integer()));
        for (size_t k = 0; k + 2 < v.size(); k += 3) {
            out.push_back({v[k], v[k + 1], v[k + 2], 0});
        }
        return out;
    };
    for (const exchangetest::Json& m : g.json["meshes"].items) {
        for (const exchangetest::Json& prim : m["primitives"].items) {
            const exchangetest::Json& attributes = prim["attributes"];
            const std::vector<KVertex> pos = vectors(attributes["POSITION"]);
            std::vector<KVertex> nrm;
            if (attributes.has("NORMAL")) {
                nrm = vectors(attributes["NORMAL"]);
                mesh.hasNormals = true;
            }
            const std::vector<double> idx = g.read(int(prim["indices"].integer()));
            for (size_t k = 0; k + 2 < idx.size(); k += 3) {
                const size_t tri[3] = {size_t(idx[k]), size_t(idx[k + 1]), size_t(idx[k + 2])};
                if (tri[0] >= pos.size() || tri[1] >= pos.size() || tri[2] >= pos.size()) {
                    mesh.error = "index out of range";
                    return mesh;
                }
                mesh.triangles.push_back(indexed(pos, nrm, tri));
            }
        }
    }
    return mesh;
}

KNormalAgreement kNormalAgreement(const KReadMesh& mesh) {
    KNormalAgreement a;
    for (const KReadTriangle& t : mesh.triangles) {
        const KVertex face = (t.corner[1] - t.corner[0]).cross(t.corner[2] - t.corner[0]);
        const double faceLength = face.length();
        for (const KVertex& n : t.normal) {
            const double nLength = n.length();
            // Relative to both lengths, so that tiny or huge meshes are judged alike.
            const double d =
                faceLength > 1e-12 && nLength > 1e-9 ? dot(face, n) / (faceLength * nLength) : 0.0;
            if (d > 1e-9) {
                ++a.along;
            } else if (d < -1e-9) {
                ++a.against;
            } else {
                ++a.skipped;
            }
        }
    }
    return a;
}
