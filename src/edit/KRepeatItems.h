#pragma once
// "Repeat...": copies of one muscle set side by side. Copy i is offset by i times the
// step; with mirroring the copies are mirrored and the step changes sign at every copy,
// so the copies alternate sides of the mirror axis.

#include <memory>
#include <vector>

class KBdlMuscle;

struct KRepeatOptions {
    int copies = 1;
    double offsetU = 0.0;
    double offsetV = 0.0;
    bool mirrorU = false;
    bool mirrorV = false;
};

// The copies in order (none when copies < 1), named "<name> (rpt: i)".
std::vector<std::unique_ptr<KBdlMuscle>> kRepeatCopies(const KBdlMuscle& source,
                                                       KRepeatOptions options);
