#pragma once
// "Import Image Options" as the UV map view asks it: the destination layer, listed from
// all user layers or only from the layers the view shows, and whether the image is a
// background only (it displaces nothing and is shown behind the map).

#include <QDialog>
#include <QStringList>
#include <vector>

class QCheckBox;
class QListWidget;

class KViewImportDlg : public QDialog {
    Q_OBJECT
public:
    // names: every user layer's name; selection: the view's layer selection (empty: all
    // layers shown); preselect: the user layer to start on.
    KViewImportDlg(const QStringList& names, const std::vector<int>& selection, int preselect,
                   QWidget* parent = nullptr);

    // The user layer chosen, in document order.
    int destinationLayer() const;
    bool backgroundOnly() const;

    // A row of the list as a user layer: through the selection when only the selected
    // layers are listed; a row outside the list gives layer 0.
    static int layerForRow(int row, bool onlySelected, const std::vector<int>& selection,
                           int layerCount);

    QListWidget* layerList;
    QCheckBox* selectedOnlyBox;
    QCheckBox* backgroundBox;

private:
    void fillList();
    QStringList names_;
    std::vector<int> selection_;
    int preselect_;
};
