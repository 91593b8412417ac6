#pragma once
// "Modify Texture List": edits the entries of a texture list in place. Both OK and
// Cancel keep the edits made so far; OK also applies the fields of the selected entry.

#include <QColor>
#include <QDialog>
#include <array>
#include <optional>

#include "document/KTexture.h"

class KTextureList;
class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;

class KTextureListDlg : public QDialog {
    Q_OBJECT
public:
    enum Row { Ambient = 0, Diffuse = 1, Specular = 2, Emission = 3 };
    static constexpr int kRows = 4;
    static constexpr int kMaxName = 32;

    explicit KTextureListDlg(KTextureList& list, QWidget* parent = nullptr);

    // Selects entry row (-1: none), applying the fields to the entry shown before.
    void select(int row);
    int selected() const;
    // Writes the fields into the selected entry.
    void applyFields();
    // Shows the selected entry in the fields.
    void showEntry();

    // The list's keys.
    void copyEntry();
    void cutEntry();
    void pasteEntry();
    void deleteEntry();
    // A colour button: asks for a colour and, on a choice, applies it to its row.
    void chooseColor(int row);
    const KTexture* clip() const { return clip_ ? &*clip_ : nullptr; }

    QListWidget* list;
    QLineEdit* name;
    std::array<QCheckBox*, kRows> use{};
    std::array<QPushButton*, kRows> color{};
    std::array<QLineEdit*, kRows> factor{};
    std::array<std::array<QLineEdit*, 3>, kRows> rgb{};
    std::array<QDoubleSpinBox*, kRows> alpha{};
    QCheckBox* useShininess;
    QDoubleSpinBox* shininess;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void setButtonColor(int row, uint32_t packed);
    KVertex& colorOf(KTexture& t, int row) const;
    bool refuseRemoval();
    void removeSelected();

    KTextureList& list_;
    int shown_ = -1;
    std::optional<KTexture> clip_;
    // What the fields showed, so applying an untouched field keeps the exact value.
    QString shownName_;
    std::array<uint32_t, kRows> buttonColor_{};
    std::array<bool, kRows> colorChosen_{};
    std::array<double, kRows> shownAlpha_{};
    double shownShininess_ = 0.0;
};

// Edit > Texture List > "Save..." and "Load...": ask for a ".qtl" file and write the list
// to it or read the list from it. True when a file was written or read.
bool kSaveTextureList(QWidget* parent, KTextureList& list);
bool kLoadTextureList(QWidget* parent, KTextureList& list);
