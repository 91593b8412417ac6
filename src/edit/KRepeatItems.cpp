#include "edit/KRepeatItems.h"

#include "model/KBdlMuscle.h"

std::vector<std::unique_ptr<KBdlMuscle>> kRepeatCopies(const KBdlMuscle& source,
                                                       KRepeatOptions options) {
    std::vector<std::unique_ptr<KBdlMuscle>> copies;
    const bool sourceMirrorU = source.mirrorU != 0;
    const bool sourceMirrorV = source.mirrorV != 0;
    for (int i = 1; i <= options.copies; ++i) {
        auto m = std::make_unique<KBdlMuscle>(source);
        m->name += " (rpt: " + std::to_string(i) + ")";
        const bool mirrorU = sourceMirrorU != options.mirrorU;
        const bool mirrorV = sourceMirrorV != options.mirrorV;
        m->mirrorU = mirrorU ? 1 : 0;
        m->mirrorV = mirrorV ? 1 : 0;
        // A mirrored copy sits on the other side of the axis; the step turns with it
        // and stays turned for the next copy.
        if (mirrorU != sourceMirrorU) {
            m->offsetU = -m->offsetU;
            options.offsetU = -options.offsetU;
        }
        if (mirrorV != sourceMirrorV) {
            m->offsetV = -m->offsetV;
            options.offsetV = -options.offsetV;
        }
        m->offsetU = float(m->offsetU + options.offsetU * i);
        m->offsetV = float(m->offsetV + options.offsetV * i);
        copies.push_back(std::move(m));
    }
    return copies;
}
