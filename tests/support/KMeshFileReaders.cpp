#include "support/KMeshFileReaders.h"

#include <algorithm>
#include <sstream>

#include "support/KRunCommand.h"
#include "support/KTestFiles.h"

namespace {

double dot(const KVertex& a, const KVertex& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

KReadMesh kReadPly(const std::string& text) {
    KReadMesh mesh;
    const size_t end = text.find("end_header\n");
    if (text.rfind("ply\nformat ascii 1.0\n", 0) != 0 || end == std::string::npos) {
        mesh.error = "no text PLY header";
        return mesh;
    }
    std::istringstream header(text.substr(0, end));
    size_t vertices = 0, faces = 0;
    std::vector<std::string> props; // the vertex element's properties, in order
    std::string element;
    for (std::string line; std::getline(header, line);) {
        std::istringstream words(line);
        std::string key, a, b;
        words >> key >> a >> b;
        if (key == "element") {
            element = a;
            (a == "vertex" ? vertices : faces) = std::stoul(b);
        } else if (key == "property" && element == "vertex") {
            props.push_back(b);
        }
    }
    const auto column = [&](const char* name) {
        return size_t(std::find(props.begin(), props.end(), name) - props.begin());
    };
    const size_t x = column("x"), nx = column("nx");
    mesh.hasNormals = nx + 2 < props.size();
    if (x + 2 >= props.size()) {
        mesh.error = "no position";
        return mesh;
    }
    std::istringstream body(text.substr(end + 11));
    std::vector<KVertex> pos, nrm;
    std::vector<double> values(props.size());
    for (size_t v = 0; v < vertices; ++v) {
        for (double& value : values) {
            body >> value;
        }
        pos.push_back({values[x], values[x + 1], values[x + 2], 0});
        nrm.push_back(mesh.hasNormals ? KVertex{values[nx], values[nx + 1], values[nx + 2], 0}
                                      : KVertex());
    }
    for (size_t f = 0; f < faces; ++f) {
        size_t count = 0, idx[3] = {0, 0, 0};
        body >> count >> idx[0] >> idx[1] >> idx[2];
        if (!body || count != 3 || std::max({idx[0], idx[1], idx[2]}) >= vertices) {
            mesh.error = "bad face " + std::to_string(f);
            return mesh;
        }
        KReadTriangle& t = mesh.triangles.emplace_back();
        for (int k = 0; k < 3; ++k) {
            t.corner[k] = pos[idx[k]];
            t.normal[k] = nrm[idx[k]];
        }
    }
    return mesh;
}

KReadMesh kReadThroughAssimp(const std::filesystem::path& path) {
    const std::filesystem::path seen = path.string() + ".seen.ply";
    const KCommandRun r =
        kRunCommand("assimp export " + kShellQuote(path) + " " + kShellQuote(seen) + " -fply");
    if (r.status != 0) {
        KReadMesh failed;
        failed.error = "assimp: " + r.output;
        return failed;
    }
    return kReadPly(kSlurp(seen));
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
