#pragma once
// Loading the image files that the layers of a document just read name. The archive only
// reads the names; the files are opened once the whole document has been read, so a
// document that turns out to be damaged opens no image and shows no image warning.

#include <memory>
#include <string>
#include <vector>

class KBdlLayer;

// For every layer that names an image it does not hold: a relative name is looked for in
// documentFolder first, then in the working folder; the image keeps the name as stored,
// so saving writes the same reference. A file that cannot be opened is reported
// ("Failed to open Layer image map:") and costs only the image: the layer keeps the name.
void kLoadLayerImageFiles(const std::vector<std::unique_ptr<KBdlLayer>>& layers,
                          const std::string& documentFolder);
