#pragma once
// What every export writer shares: the output file, the wait cursor and progress window,
// the cancel question, the item walk and the small text helpers of the export formats.

#include <optional>
#include <string>
#include <string_view>

#include "export/KExport.h"
#include "export/KTextSink.h"
#include "platform/KUi.h"

class CPexaDoc;
class KMeshGrid;
struct KVertex;

class KExportJob {
public:
    // withProgress: whether the write runs under the progress window (the df3 writer
    // shows only the wait cursor).
    KExportJob(CPexaDoc& doc, std::string path, bool withProgress = true);
    KExportJob(const KExportJob&) = delete;
    KExportJob& operator=(const KExportJob&) = delete;

    // Creates the output file and opens the progress window. When the file cannot be
    // created, shows "Couldn't create export file!" with the path and the system's reason
    // and returns false; openFailed() is then the writer's result.
    bool open();
    KExportResult openFailed() const;
    // Skinned writers: maps the document's grid into 3D (and computes its normals when
    // asked). Returns the grid, or null when there is none (then return noMesh()).
    KMeshGrid* prepareGrid(bool withNormals);
    // Layered writers: builds and maps the item meshes. False, after the message "There is
    // no layer or muscle info to export!", when there are none (then return
    // nothingToExport()).
    bool prepareItems(bool withNormals);

    // The cancel check: when Cancel was pressed, asks "Are you sure you want to Cancel?"
    // and returns true for Yes (and remembers it).
    bool cancelRequested();
    bool cancelled() const { return cancelled_; }

    void status(std::string_view text);
    void position(int percent);
    // "Exporting: <path> ..." and "Exporting Layers: <path> ...".
    std::string exportingText() const;
    std::string exportingLayersText() const;
    // "Item: <layer name> - <muscle name>".
    std::string itemText(const KMeshGrid& item) const;

    // Writes out what is left and puts the file in place. When that fails, shows "Couldn't
    // create export file!" with the path and the reason; the old file stays.
    KExportResult finish();
    // Drops the file; the result carries error, which the caller has shown (or which is
    // empty, for a cancel).
    KExportResult fail(std::string error);
    // Shows text once and drops the file; the result carries the same text.
    KExportResult report(const std::string& text, KUi::Icon icon = KUi::Icon::Error);
    // A Skinned writer found no usable grid: reports "There is no mesh to export".
    KExportResult noMesh();
    // A Layered export without item meshes (prepareItems has shown the message). A file
    // that was at the path keeps its content; where there was none, the empty file is left
    // in its place when leaveEmptyFile is set (formats whose empty file is still a file of
    // the format) and nothing is written otherwise.
    KExportResult nothingToExport(bool leaveEmptyFile = true);

    KTextSink& out() { return sink_; }
    CPexaDoc& doc() { return doc_; }
    const std::string& path() const { return path_; }

private:
    CPexaDoc& doc_;
    std::string path_;
    bool withProgress_;
    std::string openError_;
    KWaitCursor wait_;
    KTextSink sink_;
    std::optional<KProgress> progress_;
    bool cancelled_ = false;
};

// Messages of the export writers.
inline constexpr const char* kMsgCannotCreate = "Couldn't create export file!";
inline constexpr const char* kMsgNoItems = "There is no layer or muscle info to export!";
inline constexpr const char* kMsgCancelQuestion = "Are you sure you want to Cancel?";
inline constexpr const char* kMsgNoMesh = "There is no mesh to export";

// "Couldn't create export file!" and, on a line of its own, the path and the reason.
std::string kCannotCreateText(const std::string& pathAndReason);

// "Quorl0001": the name of the n-th exported item.
std::string kExportItemName(int counter);
// The progress of a row walk after row j of a mesh with nv rows: 100 (j / (nv - 1))².
int kRowProgress(int j, int nv);
// Whether a mesh has what a writer reads: object points, positions and, when asked,
// normals (an allocation that failed leaves an array absent).
bool kMeshUsable(const KMeshGrid& mesh, bool withNormals);
// x, y and z of v joined by sep.
void kWriteXyz(KTextSink& out, const KVertex& v, std::string_view sep);
// The uv record of sample n: the item mesh's own texture coordinates when itemUv is set
// and the mesh has them, otherwise the sample's object point (u, height, v).
const KVertex& kUvRecord(const KMeshGrid& mesh, size_t n, bool itemUv);
