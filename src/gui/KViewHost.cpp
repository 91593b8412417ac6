#include "gui/KViewHost.h"

#include <QWidget>

KViewHost* kFindViewHost(const QWidget* widget) {
    for (QWidget* w = widget ? widget->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto* host = dynamic_cast<KViewHost*>(w)) {
            return host;
        }
    }
    return nullptr;
}
