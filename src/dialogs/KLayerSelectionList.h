#pragma once
// The multi-selection list of layers that the "Select Layers" dialogs share.

#include <QStringList>
#include <vector>

class QListWidget;
class QWidget;

// A multi-selection list of the names with the rows in selected selected; entries that
// are no row of the list select nothing.
QListWidget* kLayerSelectionList(QWidget* parent, const QStringList& names,
                                 const std::vector<int>& selected);

// The selected rows of the list, in list order.
std::vector<int> kSelectedRows(const QListWidget* list);
