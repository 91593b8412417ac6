#include "dialogs/KTextureListDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "document/KTextureList.h"
#include "gui/KDialogFields.h"
#include "gui/KDialogKit.h"
#include "platform/KNumberText.h"
#include "platform/KUi.h"

namespace {

QColor fromPacked(uint32_t packed) {
    return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}

uint32_t toPacked(const QColor& c) {
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

bool isKey(const QKeyEvent* e, Qt::KeyboardModifiers mods, int key) {
    return e->key() == key && (e->modifiers() & ~Qt::KeypadModifier) == mods;
}

KFileRequest textureFileRequest(bool save) {
    KFileRequest request;
    request.save = save;
    request.title = save ? QObject::tr("Save Textures") : QObject::tr("Load Textures");
    request.filter = QObject::tr("Quorl Texture Files (*.qtl)");
    request.defaultSuffix = QStringLiteral("qtl");
    request.initialName = save ? QStringLiteral("untitled") : QString();
    return request;
}

} // namespace

KTextureListDlg::KTextureListDlg(KTextureList& list, QWidget* parent)
    : QDialog(parent), list_(list) {
    setWindowTitle(tr("Modify Texture List"));

    this->list = new QListWidget(this);
    this->list->setSelectionMode(QAbstractItemView::SingleSelection);
    this->list->setMinimumWidth(150);
    this->list->installEventFilter(this);
    this->list->setToolTip(tr("Ctrl+C copy, Ctrl+X cut, Ctrl+V paste, Delete deletes"));
    connect(this->list, &QListWidget::currentRowChanged, this, [this](int row) { select(row); });

    name = new QLineEdit(this);
    name->setMaxLength(kMaxName);
    name->installEventFilter(this);

    auto* rows = new QGroupBox(tr("Material"), this);
    auto* grid = new QGridLayout(rows);
    const QString headers[7] = {QString(), QString(), tr("Scale"), tr("R"),
                                tr("G"),   tr("B"),   tr("Alpha")};
    for (int c = 2; c < 7; ++c) {
        grid->addWidget(new QLabel(headers[c], rows), 0, c, Qt::AlignCenter);
    }
    const QString titles[kRows] = {tr("Ambient"), tr("Diffuse"), tr("Specular"), tr("Emission")};
    for (int r = 0; r < kRows; ++r) {
        use[size_t(r)] = new QCheckBox(titles[r], rows);
        color[size_t(r)] = new QPushButton(rows);
        color[size_t(r)]->setFixedSize(40, 22);
        color[size_t(r)]->setAutoDefault(false);
        connect(color[size_t(r)], &QPushButton::clicked, this, [this, r] { chooseColor(r); });
        factor[size_t(r)] = new QLineEdit(rows);
        factor[size_t(r)]->setReadOnly(true);
        factor[size_t(r)]->setMaximumWidth(60);
        grid->addWidget(use[size_t(r)], r + 1, 0);
        grid->addWidget(color[size_t(r)], r + 1, 1);
        grid->addWidget(factor[size_t(r)], r + 1, 2);
        for (int c = 0; c < 3; ++c) {
            auto* field = new QLineEdit(rows);
            field->setReadOnly(true);
            field->setMaximumWidth(44);
            rgb[size_t(r)][size_t(c)] = field;
            grid->addWidget(field, r + 1, 3 + c);
        }
        alpha[size_t(r)] = new QDoubleSpinBox(rows);
        alpha[size_t(r)]->setRange(-1.0, 1.0);
        alpha[size_t(r)]->setDecimals(4);
        alpha[size_t(r)]->setSingleStep(0.1);
        alpha[size_t(r)]->installEventFilter(this);
        grid->addWidget(alpha[size_t(r)], r + 1, 6);
    }
    useShininess = new QCheckBox(tr("Shininess (exponent)"), rows);
    shininess = new QDoubleSpinBox(rows);
    shininess->setRange(0.0, 128.0);
    shininess->setDecimals(3);
    grid->addWidget(useShininess, kRows + 1, 0, 1, 3);
    grid->addWidget(shininess, kRows + 1, 3, 1, 2);

    auto* buttons = kOkCancelButtons(this);

    auto* right = new QVBoxLayout;
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(tr("Name"), this));
    nameRow->addWidget(name, 1);
    right->addLayout(nameRow);
    right->addWidget(rows);
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(this->list);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    fill();
    select(list_.entries.empty() ? -1 : 0);
}

void KTextureListDlg::fill() {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const KTexture& t : list_.entries) {
        list->addItem(QString::fromStdString(t.name));
    }
}

KVertex& KTextureListDlg::colorOf(KTexture& t, int row) const {
    switch (row) {
    case Ambient:
        return t.ambient;
    case Diffuse:
        return t.diffuse;
    case Specular:
        return t.specular;
    default:
        return t.emission;
    }
}

int KTextureListDlg::selected() const {
    return shown_;
}

void KTextureListDlg::select(int row) {
    applyFields();
    shown_ = row >= 0 && size_t(row) < list_.entries.size() ? row : -1;
    {
        const QSignalBlocker quiet(list);
        list->setCurrentRow(shown_);
    }
    showEntry();
}

void KTextureListDlg::setButtonColor(int row, uint32_t packed) {
    buttonColor_[size_t(row)] = packed;
    const QColor c = fromPacked(packed);
    color[size_t(row)]->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid gray;").arg(c.name()));
    rgb[size_t(row)][0]->setText(QString::number(c.red()));
    rgb[size_t(row)][1]->setText(QString::number(c.green()));
    rgb[size_t(row)][2]->setText(QString::number(c.blue()));
}

void KTextureListDlg::showEntry() {
    const bool has = shown_ >= 0;
    for (QWidget* w : std::initializer_list<QWidget*>{name, useShininess, shininess}) {
        w->setEnabled(has);
    }
    colorChosen_.fill(false);
    if (!has) {
        name->clear();
        shownName_.clear();
        return;
    }
    KTexture& t = list_.entries[size_t(shown_)];
    name->setText(QString::fromStdString(t.name));
    shownName_ = name->text();
    const bool uses[kRows] = {t.useAmbient, t.useDiffuse, t.useSpecular, t.useEmission};
    const float factors[kRows] = {t.ambientFactor, t.diffuseFactor, t.specularFactor,
                                  t.emissionFactor};
    const uint32_t packed[kRows] = {t.packedAmbient(), t.packedDiffuse(), t.packedSpecular(),
                                    t.packedEmission()};
    for (int r = 0; r < kRows; ++r) {
        use[size_t(r)]->setChecked(uses[r]);
        factor[size_t(r)]->setText(QString::fromStdString(kFormatGeneral(factors[r])));
        setButtonColor(r, packed[r]);
        alpha[size_t(r)]->setValue(colorOf(t, r).w);
        shownAlpha_[size_t(r)] = alpha[size_t(r)]->value();
    }
    useShininess->setChecked(t.useShininess);
    shininess->setValue(double(t.shininess));
    shownShininess_ = shininess->value();
}

void KTextureListDlg::applyFields() {
    if (shown_ < 0 || size_t(shown_) >= list_.entries.size()) {
        return;
    }
    KTexture& t = list_.entries[size_t(shown_)];
    if (name->text() != shownName_) {
        t.name = name->text().toStdString();
        shownName_ = name->text();
        list->item(shown_)->setText(name->text());
    }
    t.useAmbient = use[Ambient]->isChecked();
    t.useDiffuse = use[Diffuse]->isChecked();
    t.useSpecular = use[Specular]->isChecked();
    t.useEmission = use[Emission]->isChecked();
    t.useShininess = useShininess->isChecked();
    for (int r = 0; r < kRows; ++r) {
        KVertex& c = colorOf(t, r);
        // The button shows the colour times its factor; only a colour the user chose
        // replaces the stored one, so looking at an entry never darkens it.
        if (colorChosen_[size_t(r)]) {
            const QColor chosen = fromPacked(buttonColor_[size_t(r)]);
            c.x = chosen.red() / 255.0;
            c.y = chosen.green() / 255.0;
            c.z = chosen.blue() / 255.0;
            colorChosen_[size_t(r)] = false;
        }
        if (alpha[size_t(r)]->value() != shownAlpha_[size_t(r)]) {
            c.w = alpha[size_t(r)]->value();
            shownAlpha_[size_t(r)] = c.w;
        }
    }
    if (shininess->value() != shownShininess_) {
        t.shininess = float(shininess->value());
        shownShininess_ = shininess->value();
    }
}

void KTextureListDlg::chooseColor(int row) {
    if (shown_ < 0) {
        return;
    }
    const std::optional<QColor> chosen = kChooseColor(this, fromPacked(buttonColor_[size_t(row)]));
    if (!chosen || !chosen->isValid()) {
        return;
    }
    setButtonColor(row, toPacked(*chosen));
    colorChosen_[size_t(row)] = true;
    applyFields();
}

void KTextureListDlg::copyEntry() {
    if (shown_ < 0) {
        return;
    }
    applyFields();
    clip_ = list_.entries[size_t(shown_)];
}

bool KTextureListDlg::refuseRemoval() {
    if (list_.entries.size() < 2) {
        kUi().message("You must keep at least one texture.", KUi::Icon::Warning);
        return true;
    }
    return false;
}

void KTextureListDlg::removeSelected() {
    const int row = shown_;
    shown_ = -1; // the fields belong to the entry that goes
    list_.entries.erase(list_.entries.begin() + row);
    fill();
    select(std::min(row, int(list_.entries.size()) - 1));
}

void KTextureListDlg::cutEntry() {
    if (refuseRemoval() || shown_ < 0) {
        return;
    }
    copyEntry();
    removeSelected();
}

void KTextureListDlg::deleteEntry() {
    if (refuseRemoval()) {
        return;
    }
    if (shown_ < 0) {
        kUi().message("No texture selected to delete...", KUi::Icon::Warning);
        return;
    }
    removeSelected();
}

void KTextureListDlg::pasteEntry() {
    applyFields();
    const int at = shown_ >= 0 ? shown_ : int(list_.entries.size());
    KTexture entry = clip_ ? *clip_ : KTexture();
    if (!clip_) {
        entry.index = at;
    }
    shown_ = -1;
    list_.entries.insert(list_.entries.begin() + at, entry);
    fill();
    select(at);
}

bool KTextureListDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isKey(key, Qt::ControlModifier, Qt::Key_Insert) ||
            isKey(key, Qt::ControlModifier, Qt::Key_C)) {
            copyEntry();
            return true;
        }
        if (isKey(key, Qt::ShiftModifier, Qt::Key_Delete) ||
            isKey(key, Qt::ControlModifier, Qt::Key_X)) {
            cutEntry();
            return true;
        }
        if (isKey(key, Qt::ShiftModifier, Qt::Key_Insert) ||
            isKey(key, Qt::ControlModifier, Qt::Key_V)) {
            pasteEntry();
            return true;
        }
        if (isKey(key, Qt::NoModifier, Qt::Key_Delete)) {
            deleteEntry();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut &&
               (watched == name || watched == alpha[Ambient] || watched == alpha[Diffuse])) {
        applyFields();
    }
    return QDialog::eventFilter(watched, event);
}

void KTextureListDlg::accept() {
    applyFields();
    QDialog::accept();
}

bool kSaveTextureList(QWidget* parent, KTextureList& list) {
    const QString path = kChooseFile(parent, textureFileRequest(true));
    return !path.isEmpty() && list.saveFile(path.toStdString());
}

bool kLoadTextureList(QWidget* parent, KTextureList& list) {
    const QString path = kChooseFile(parent, textureFileRequest(false));
    return !path.isEmpty() && list.loadFile(path.toStdString());
}
