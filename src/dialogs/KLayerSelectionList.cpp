#include "dialogs/KLayerSelectionList.h"

#include <QListWidget>

QListWidget* kLayerSelectionList(QWidget* parent, const QStringList& names,
                                 const std::vector<int>& selected) {
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->addItems(names);
    for (int i : selected) {
        if (i >= 0 && i < list->count()) {
            list->item(i)->setSelected(true);
        }
    }
    return list;
}

std::vector<int> kSelectedRows(const QListWidget* list) {
    std::vector<int> out;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) {
            out.push_back(i);
        }
    }
    return out;
}
