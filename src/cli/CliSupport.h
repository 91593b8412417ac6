#pragma once
// What the commands of quorl-cli share: messages, opening and saving documents, checks of
// option values and of output files.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class Validator;
}

class CPexaDoc;

namespace cli {

// "quorl-cli: <message>" on stderr.
void showError(const std::string& message);
// Shows the message and returns the status for bad usage.
int usageError(const std::string& message);

// How many error and warning messages the core has shown so far; a failure the core
// already reported is not reported a second time.
int problemsShown();
// Shows message unless the core showed a problem since problemsShown() was before.
void showUnlessShown(int before, const std::string& message);

// Reads a document; on failure shows why and sets status to BadInput.
std::unique_ptr<CPexaDoc> openDocument(const std::string& path, int& status);
// Saves a document; Ok, or WriteFailed after the reason was shown.
int saveDocument(CPexaDoc& doc, const std::string& path);

// Whether the two paths name one file (the same device and inode, so also through a
// link); false when either does not exist.
bool sameFile(const std::string& a, const std::string& b);
// Bad usage when out is the document itself, else Ok. "-" (standard output) never is.
int refuseOutputOverInput(const std::string& input, const std::string& out);

// "0,2,5" -> {0, 2, 5}; nullopt unless every item is a whole number.
std::optional<std::vector<int>> parseIntList(const std::string& text);
// Checks a "0,2" list of layer numbers.
CLI::Validator layerListValidator();
// A finite number from low to high (CLI::Range lets NaN through).
CLI::Validator finiteRangeValidator(double low, double high);

// The indices of layers that the document does not have, as a message, or empty.
std::string missingLayers(const CPexaDoc& doc, const std::vector<int>& layers);

} // namespace cli
