#include "app/KWindowTemplate.h"

#include <algorithm>

KWindowTemplate::KWindowTemplate(QString kind, FrameMaker maker)
    : kind_(std::move(kind)), maker_(std::move(maker)) {}

QMdiSubWindow* KWindowTemplate::openFrame(CPexaDoc& doc) {
    QMdiSubWindow* frame = maker_ ? maker_(doc) : nullptr;
    if (!frame) {
        return nullptr;
    }
    // Closed windows drop out of the list as new ones come in.
    made_.erase(
        std::remove_if(made_.begin(), made_.end(), [](const auto& w) { return w.isNull(); }),
        made_.end());
    // The item editor is reused: a window already listed is not listed twice.
    if (std::find(made_.begin(), made_.end(), frame) == made_.end()) {
        made_.emplace_back(frame);
    }
    return frame;
}

std::vector<QMdiSubWindow*> KWindowTemplate::openWindows() const {
    std::vector<QMdiSubWindow*> out;
    for (const auto& w : made_) {
        if (w) {
            out.push_back(w);
        }
    }
    return out;
}
