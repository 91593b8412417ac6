// POV-Ray density files: every sample marks the voxel of the object's bounding box it
// falls into with a density from a constant or from its u, v or w value.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"

namespace {

constexpr const char* kMsgNoMemory = "Failed to create df3 voxel map! Not enough memory";
// The header holds 16-bit sizes; beyond this many voxels a map is refused as too large.
constexpr int32_t kMaxSize = 32767;
constexpr int64_t kMaxVoxels = int64_t(1) << 28;

struct VoxelMap {
    int32_t sx, sy, sz;
    KVertex min, extent;
    std::vector<uint8_t> bytes;
};

// The voxel coordinate along one axis, or -1 when the sample lies outside the box.
int64_t cell(double position, double min, double extent, int32_t size) {
    const double t = std::trunc((position - min) / extent * size);
    if (!(t >= 0.0) || t >= double(size)) {
        return -1;
    }
    return int64_t(t);
}

uint8_t density(const KFeoPMedia& o, const KVertex& uv) {
    double source = 0.0;
    switch (o.densitySource) {
    case KFeoPMedia::DensityU:
        source = uv.x;
        break;
    case KFeoPMedia::DensityV:
        source = uv.z;
        break;
    case KFeoPMedia::DensityW:
        source = uv.y;
        break;
    default:
        break;
    }
    const double d = (source * double(o.scale) + double(o.baseValue)) * 255.0;
    if (!(d > 0.0)) {
        return 0;
    }
    return uint8_t(std::min(d, 255.0));
}

void mark(VoxelMap& map, const KMeshGrid& mesh, const KFeoPMedia& o, bool itemUv) {
    const auto pos = mesh.positions();
    for (size_t n = 0; n < mesh.sampleCount(); ++n) {
        const int64_t x = cell(pos[n].x, map.min.x, map.extent.x, map.sx);
        const int64_t y = cell(pos[n].y, map.min.y, map.extent.y, map.sy);
        const int64_t z = cell(pos[n].z, map.min.z, map.extent.z, map.sz);
        if (x < 0 || y < 0 || z < 0) {
            continue;
        }
        uint8_t& voxel = map.bytes[size_t((z * map.sy + y) * map.sx + x)];
        voxel = std::max(voxel, density(o, kUvRecord(mesh, n, itemUv)));
    }
}

double extentOf(double lo, double hi) {
    const double e = hi - lo;
    return e > 0.0 ? e : 1.0;
}

} // namespace

KExportResult kWriteDf3(CPexaDoc& doc, const std::string& path) {
    KExportJob job(doc, path, false);
    if (!job.open()) {
        return job.openFailed();
    }
    const bool layered = doc.meshType == CPexaDoc::Layered;
    if (layered && !job.prepareItems(false)) {
        return job.nothingToExport();
    }
    if (!doc.computeMesh() || !doc.meshGrid || !kMeshUsable(*doc.meshGrid, false)) {
        return job.noMesh();
    }
    const KFeoPMedia& o = doc.feoPMedia;
    VoxelMap map{o.sizeX, o.sizeY, o.sizeZ, {}, {}, {}};
    const bool sizesOk = map.sx >= 1 && map.sx <= kMaxSize && map.sy >= 1 && map.sy <= kMaxSize &&
                         map.sz >= 1 && map.sz <= kMaxSize &&
                         int64_t(map.sx) * map.sy * map.sz <= kMaxVoxels;
    if (sizesOk) {
        try {
            map.bytes.assign(size_t(map.sx) * size_t(map.sy) * size_t(map.sz), 0);
        } catch (const std::bad_alloc&) {
            map.bytes.clear();
        }
    }
    if (map.bytes.empty()) {
        return job.report(kMsgNoMemory);
    }
    const KMeshGrid& grid = *doc.meshGrid;
    map.min = grid.boundsMin;
    map.extent = {extentOf(grid.boundsMin.x, grid.boundsMax.x),
                  extentOf(grid.boundsMin.y, grid.boundsMax.y),
                  extentOf(grid.boundsMin.z, grid.boundsMax.z), 0.0};
    if (layered) {
        const bool itemUv = o.useItemUvw != 0;
        for (const auto& item : doc.itemMeshes) {
            if (doc.layerPassesExportFilter(item->layerIndex) && kMeshUsable(*item, false)) {
                mark(map, *item, o, itemUv);
            }
        }
    } else {
        mark(map, grid, o, false);
    }
    char header[6];
    for (int k = 0; k < 3; ++k) {
        const int32_t s = k == 0 ? map.sx : k == 1 ? map.sy : map.sz;
        header[2 * k] = char(uint8_t(s >> 8));
        header[2 * k + 1] = char(uint8_t(s & 0xFF));
    }
    job.out().text(std::string_view(header, sizeof header));
    job.out().text(
        std::string_view(reinterpret_cast<const char*>(map.bytes.data()), map.bytes.size()));
    KExportResult result = job.finish();
    if (result.written) {
        // The options the export used are stored with the document.
        doc.nameNextEdit("df3 Options");
        doc.setModified(true);
    }
    return result;
}
