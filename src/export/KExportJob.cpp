#include "export/KExportJob.h"

#include <charconv>
#include <utility>

#include "document/CPexaDoc.h"
#include "mesh/KMeshGrid.h"

KExportJob::KExportJob(CPexaDoc& doc, std::string path, bool withProgress)
    : doc_(doc), path_(std::move(path)), withProgress_(withProgress) {}

bool KExportJob::open() {
    std::string reason;
    if (!sink_.open(path_, &reason)) {
        openError_ = kCannotCreateText(reason);
        kUi().message(openError_, KUi::Icon::Error);
        return false;
    }
    if (withProgress_) {
        progress_.emplace("Export");
    }
    return true;
}

KExportResult KExportJob::openFailed() const {
    KExportResult result;
    result.error = openError_;
    return result;
}

KMeshGrid* KExportJob::prepareGrid(bool withNormals) {
    if (!doc_.computeMesh() || !doc_.meshGrid) {
        return nullptr;
    }
    if (withNormals) {
        doc_.computeNormals();
    }
    return kMeshUsable(*doc_.meshGrid, withNormals) ? doc_.meshGrid.get() : nullptr;
}

bool KExportJob::prepareItems(bool withNormals) {
    if (doc_.ensureItemMeshes(withNormals).empty()) {
        kUi().message(kMsgNoItems, KUi::Icon::Warning);
        return false;
    }
    return true;
}

bool KExportJob::cancelRequested() {
    if (progress_ && progress_->cancelled() && kUi().askYesNo(kMsgCancelQuestion, true)) {
        cancelled_ = true;
    }
    return cancelled_;
}

void KExportJob::status(std::string_view text) {
    if (progress_) {
        progress_->status(text);
    }
}

void KExportJob::position(int percent) {
    if (progress_) {
        progress_->position(percent);
    }
}

std::string KExportJob::exportingText() const {
    return "Exporting: " + path_ + " ...";
}

std::string KExportJob::exportingLayersText() const {
    return "Exporting Layers: " + path_ + " ...";
}

std::string KExportJob::itemText(const KMeshGrid& item) const {
    return "Item: " + doc_.layerName(item.layerIndex) + " - " +
           doc_.muscleName(item.layerIndex, item.muscleIndex);
}

KExportResult KExportJob::finish() {
    KExportResult result;
    std::string reason;
    // The progress window goes first: a message box should not sit under it.
    progress_.reset();
    if (!sink_.commit(&reason)) {
        result.error = kCannotCreateText(reason);
        kUi().message(result.error, KUi::Icon::Error);
        return result;
    }
    result.written = true;
    result.cancelled = cancelled_;
    return result;
}

KExportResult KExportJob::nothingToExport(bool leaveEmptyFile) {
    KExportResult result;
    if (sink_.replacesExisting() || !leaveEmptyFile) {
        // Nothing is renamed over the file that is there.
        sink_.discard();
    } else {
        // A new file was asked for: it stays, empty, to show the export ran.
        result = finish();
    }
    result.nothingToExport = true;
    if (result.error.empty()) {
        result.error = kMsgNoItems;
    }
    return result;
}

KExportResult KExportJob::fail(std::string error) {
    sink_.discard();
    KExportResult result;
    result.error = std::move(error);
    return result;
}

KExportResult KExportJob::report(const std::string& text, KUi::Icon icon) {
    progress_.reset();
    kUi().message(text, icon);
    return fail(text);
}

KExportResult KExportJob::noMesh() {
    return report(kMsgNoMesh);
}

std::string kCannotCreateText(const std::string& pathAndReason) {
    return std::string(kMsgCannotCreate) + "\n" + pathAndReason;
}

std::string kExportItemName(int counter) {
    char digits[16];
    const auto r = std::to_chars(digits, digits + sizeof digits, counter < 0 ? -counter : counter);
    std::string name = "Quorl";
    if (counter < 0) {
        name += '-';
    }
    for (auto n = r.ptr - digits; n < 4; ++n) {
        name += '0';
    }
    name.append(digits, r.ptr);
    return name;
}

int kRowProgress(int j, int nv) {
    if (nv < 2) {
        return 100;
    }
    const double f = double(j) / double(nv - 1);
    return int(100.0 * f * f);
}

bool kMeshUsable(const KMeshGrid& mesh, bool withNormals) {
    return mesh.hasObjectPoints() && mesh.hasPositions() && (!withNormals || mesh.hasNormals());
}

void kWriteXyz(KTextSink& out, const KVertex& v, std::string_view sep) {
    out.num(v.x).text(sep).num(v.y).text(sep).num(v.z);
}

const KVertex& kUvRecord(const KMeshGrid& mesh, size_t n, bool itemUv) {
    if (itemUv && mesh.hasTexCoords()) {
        return mesh.texCoords()[n];
    }
    return mesh.objectPoints()[n];
}
