#include "gui/KAppServices.h"

#include <QWidget>

KAppServices* kAppServices(const QWidget* widget) {
    return widget ? dynamic_cast<KAppServices*>(widget->window()) : nullptr;
}
