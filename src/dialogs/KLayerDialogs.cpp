#include "dialogs/KLayerDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/KMuscleDialogs.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogFields.h"
#include "gui/KDialogKit.h"
#include "gui/KLayerNames.h"
#include "image/KImageMap.h"
#include "model/KBdlLayer.h"
#include "platform/KNumberText.h"
#include "platform/KUi.h"

namespace {

const char* const kDeleteQuestion = "Delete can not be Undone! Are you sure you wish to Continue?";
// Tab stops of both list dialogs, in dialog units.
const QList<int> kListTabStops = {110, 152};

// The row of the list's selected line, -1 without one. The selection, not the current
// line, says which line is chosen: a mouse click makes a line current before it selects
// it, the arrow keys do both at once, and only the selection ends the same either way.
int selectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.size() == 1 ? list->row(items.front()) : -1;
}

QListWidget* tabbedList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setItemDelegate(new KTabStopDelegate(kListTabStops, list));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumSize(300, 160);
    return list;
}

} // namespace

QString kLayerLine(const KBdlLayer& layer) {
    QString line = QString::fromStdString(layer.name) + QLatin1Char('\t');
    line += layer.physical == 1   ? QStringLiteral("Geometry")
            : layer.physical == 0 ? QStringLiteral("ImageMap")
                                  : QStringLiteral("Internal");
    if (layer.active) {
        line += QStringLiteral("\tY");
    }
    return line;
}

QString kMuscleLine(const KBdlMuscle& muscle) {
    QString line = QString::fromStdString(muscle.name) + QLatin1Char('\t') +
                   QString::fromStdString(KBdlMuscle::typeName(muscle.muscleType));
    if (muscle.active) {
        line += QStringLiteral("\tY");
    }
    return line;
}

// ---------------------------------------------------------------- Layer List Properties

KLayerListDlg::KLayerListDlg(KSurfaceHeight::LayerList& layers, QWidget* parent)
    : QDialog(parent), layers_(layers) {
    setWindowTitle(tr("Layer List Properties"));
    list = tabbedList(this);
    name = new QLineEdit(this);
    description = new QLineEdit(this);
    physical = new QCheckBox(tr("Physical"), this);
    active = new QCheckBox(tr("Active"), this);
    scale = new QLineEdit(this);
    for (QWidget* w : {static_cast<QWidget*>(name), static_cast<QWidget*>(description),
                       static_cast<QWidget*>(scale)}) {
        w->installEventFilter(this);
    }
    connect(physical, &QCheckBox::clicked, this, &KLayerListDlg::writeFields);
    connect(active, &QCheckBox::clicked, this, &KLayerListDlg::writeFields);
    appendButton = new QPushButton(tr("Append"), this);
    insertButton = new QPushButton(tr("Insert"), this);
    deleteButton = new QPushButton(tr("Delete"), this);
    done = new QPushButton(tr("Done"), this);
    connect(appendButton, &QPushButton::clicked, this, &KLayerListDlg::append);
    connect(insertButton, &QPushButton::clicked, this, &KLayerListDlg::insert);
    connect(deleteButton, &QPushButton::clicked, this, &KLayerListDlg::remove);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    connect(list, &QListWidget::itemSelectionChanged, this, &KLayerListDlg::loadFields);

    auto* form = new QFormLayout;
    form->addRow(tr("Name:"), name);
    form->addRow(tr("Description:"), description);
    auto* checks = new QHBoxLayout;
    checks->addWidget(physical);
    checks->addWidget(active);
    checks->addStretch(1);
    form->addRow(QString(), checks);
    form->addRow(tr("Scale:"), scale);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {appendButton, insertButton, deleteButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    buttons->addWidget(done);
    auto* top = new QHBoxLayout;
    top->addWidget(list, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(form);

    fill();
    select(layers_.empty() ? -1 : 0);
    name->setFocus();
    name->selectAll();
}

void KLayerListDlg::fill() {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const auto& layer : layers_) {
        list->addItem(kLayerLine(*layer));
    }
}

int KLayerListDlg::selected() const {
    const int row = selectedRow(list);
    return row >= 0 && size_t(row) < layers_.size() ? row : -1;
}

void KLayerListDlg::select(int row) {
    const QSignalBlocker quiet(list);
    if (row < 0 || size_t(row) >= layers_.size()) {
        list->setCurrentRow(-1);
        list->clearSelection();
    } else {
        list->setCurrentRow(row);
    }
    loadFields();
}

void KLayerListDlg::loadFields() {
    const int row = selected();
    deleteButton->setEnabled(row >= 0);
    if (row < 0) {
        name->setText(QStringLiteral("(new)"));
        description->clear();
        return;
    }
    const KBdlLayer& layer = *layers_[size_t(row)];
    name->setText(QString::fromStdString(layer.name));
    description->setText(QString::fromStdString(layer.description));
    physical->setChecked(layer.physical != 0);
    active->setChecked(layer.active != 0);
    scale->setText(QString::fromStdString(kFormatFixed(layer.scale, 6)));
}

void KLayerListDlg::writeFields() {
    const int row = selected();
    if (row < 0) {
        return;
    }
    KBdlLayer& layer = *layers_[size_t(row)];
    layer.name = name->text().toStdString();
    layer.description = description->text().toStdString();
    // A check box keeps a value other than 0 and 1 ("Internal") while it is not clicked.
    if (physical->isChecked() != (layer.physical != 0)) {
        layer.physical = physical->isChecked() ? 1 : 0;
    }
    layer.active = active->isChecked() ? 1 : 0;
    const QString scaleText = scale->text().trimmed();
    if (scaleText != QString::fromStdString(kFormatFixed(layer.scale, 6))) {
        layer.scale = kParseDouble(scaleText.toStdString());
    }
    list->item(row)->setText(kLayerLine(layer));
}

bool KLayerListDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == name || watched == description || watched == scale)) {
        writeFields();
    }
    return QDialog::eventFilter(watched, event);
}

void KLayerListDlg::add(int at) {
    layers_.insert(layers_.begin() + at, std::make_unique<KBdlLayer>());
    fill();
    select(at);
}

void KLayerListDlg::append() {
    add(int(layers_.size()));
}

void KLayerListDlg::insert() {
    const int row = selected();
    add(row >= 0 ? row : int(layers_.size()));
}

bool KLayerListDlg::remove() {
    const int row = selected();
    if (row < 0) {
        return false;
    }
    if (!kUi().askOkCancel(kDeleteQuestion, false)) {
        return false;
    }
    layers_.erase(layers_.begin() + row);
    fill();
    select(std::min(row, int(layers_.size()) - 1));
    return true;
}

// ---------------------------------------------------------------- Layer Properties

KLayerPropertiesDlg::KLayerPropertiesDlg(KBdlLayer& layer, CPexaDoc& doc, QWidget* parent)
    : QDialog(parent), layer_(layer), doc_(doc) {
    setWindowTitle(tr("Layer Properties"));
    muscles = tabbedList(this);
    muscles->installEventFilter(this);
    muscleScale = new KRealField(this);
    muscleScale->installEventFilter(this);
    muscleActive = new QCheckBox(tr("Active"), this);
    connect(muscleActive, &QCheckBox::clicked, this, &KLayerPropertiesDlg::writeMuscleFields);
    connect(muscles, &QListWidget::itemSelectionChanged, this, [this] {
        loadMuscleFields();
        updateButtons();
    });
    connect(muscles, &QListWidget::itemDoubleClicked, this, &KLayerPropertiesDlg::editMuscle);

    editButton = new QPushButton(tr("&Edit..."), this);
    appendButton = new QPushButton(tr("&Append..."), this);
    insertButton = new QPushButton(tr("&Insert..."), this);
    deleteButton = new QPushButton(tr("&Delete"), this);
    copyButton = new QPushButton(tr("&Copy"), this);
    pasteButton = new QPushButton(tr("&Paste..."), this);
    moveButton = new QPushButton(tr("&Move..."), this);
    connect(editButton, &QPushButton::clicked, this, &KLayerPropertiesDlg::editMuscle);
    connect(appendButton, &QPushButton::clicked, this, &KLayerPropertiesDlg::appendMuscle);
    connect(insertButton, &QPushButton::clicked, this, &KLayerPropertiesDlg::insertMuscle);
    connect(deleteButton, &QPushButton::clicked, this, &KLayerPropertiesDlg::deleteMuscle);
    connect(copyButton, &QPushButton::clicked, this, &KLayerPropertiesDlg::copyMuscle);
    connect(pasteButton, &QPushButton::clicked, this, &KLayerPropertiesDlg::pasteMuscle);
    // "Move..." has nothing to do.

    auto* definitions = new QGroupBox(tr("Muscle Definitions"), this);
    auto* dg = new QGridLayout(definitions);
    dg->addWidget(muscles, 0, 0, 1, 4);
    dg->addWidget(new QLabel(tr("Scale"), definitions), 1, 0);
    dg->addWidget(muscleScale, 1, 1);
    dg->addWidget(muscleActive, 1, 2);
    auto* muscleButtons = new QVBoxLayout;
    for (QPushButton* b : {editButton, appendButton, insertButton, deleteButton, copyButton,
                           pasteButton, moveButton}) {
        b->setAutoDefault(false);
        muscleButtons->addWidget(b);
    }
    muscleButtons->addStretch(1);
    dg->addLayout(muscleButtons, 0, 4, 2, 1);

    image = new QListWidget(this);
    image->setEnabled(false);
    image->setMaximumHeight(48);
    releaseButton = new QPushButton(tr("&Release..."), this);
    optionsButton = new QPushButton(tr("24bit Options..."), this);
    connect(releaseButton, &QPushButton::clicked, this, &KLayerPropertiesDlg::releaseImage);
    connect(optionsButton, &QPushButton::clicked, this, &KLayerPropertiesDlg::imageOptions);
    imageScale = new KRealField(this, layer.imageScale);
    layerTexture = new QSpinBox(this);
    layerTexture->setRange(0, 255);
    layerTexture->setValue(std::clamp(layer.textureIndex, 0, 255));
    backgroundOnly = new QCheckBox(tr("Background Only"), this);
    backgroundOnly->setChecked(layer.backgroundOnly != 0);
    auto* mapping = new QGroupBox(tr("Image Mapping"), this);
    auto* mg = new QGridLayout(mapping);
    mg->addWidget(image, 0, 0, 1, 2);
    auto* imageButtons = new QVBoxLayout;
    for (QPushButton* b : {releaseButton, optionsButton}) {
        b->setAutoDefault(false);
        imageButtons->addWidget(b);
    }
    mg->addLayout(imageButtons, 0, 2);
    mg->addWidget(new QLabel(tr("Image Scale"), mapping), 1, 0);
    mg->addWidget(imageScale, 1, 1);
    mg->addWidget(backgroundOnly, 1, 2);
    mg->addWidget(new QLabel(tr("Layer Texture"), mapping), 2, 0);
    mg->addWidget(layerTexture, 2, 1);

    done = new QPushButton(tr("D&one"), this);
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(done);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromStdString(layer.name), this));
    layout->addWidget(definitions);
    layout->addWidget(mapping);
    layout->addLayout(bottom);

    fill();
    select(-1);
    updateImage();
}

void KLayerPropertiesDlg::store() {
    layer_.imageScale = float(imageScale->value());
    layer_.textureIndex = layerTexture->value();
    layer_.backgroundOnly = backgroundOnly->isChecked() ? 1 : 0;
}

void KLayerPropertiesDlg::fill() {
    const QSignalBlocker quiet(muscles);
    muscles->clear();
    for (const auto& m : layer_.muscles) {
        muscles->addItem(kMuscleLine(*m));
    }
}

int KLayerPropertiesDlg::selected() const {
    const int row = selectedRow(muscles);
    return row >= 0 && size_t(row) < layer_.muscles.size() ? row : -1;
}

void KLayerPropertiesDlg::select(int row) {
    {
        const QSignalBlocker quiet(muscles);
        if (row < 0 || size_t(row) >= layer_.muscles.size()) {
            muscles->setCurrentRow(-1);
            muscles->clearSelection();
        } else {
            muscles->setCurrentRow(row);
        }
    }
    loadMuscleFields();
    updateButtons();
}

void KLayerPropertiesDlg::loadMuscleFields() {
    const int row = selected();
    const bool has = row >= 0;
    muscleScale->setEnabled(has);
    muscleActive->setEnabled(has);
    if (has) {
        const KBdlMuscle& m = *layer_.muscles[size_t(row)];
        muscleScale->setValue(m.height);
        muscleActive->setChecked(m.active != 0);
    } else {
        muscleScale->clear();
        muscleActive->setChecked(false);
    }
}

void KLayerPropertiesDlg::updateButtons() {
    const bool has = selected() >= 0;
    deleteButton->setEnabled(has);
    copyButton->setEnabled(has);
    pasteButton->setEnabled(doc_.copiedMuscle != nullptr);
}

void KLayerPropertiesDlg::updateImage() {
    image->clear();
    const KImageMap* map = layer_.getImageMap();
    if (map) {
        image->addItem(QString::fromStdString(map->name));
    }
    releaseButton->setEnabled(map != nullptr);
    optionsButton->setEnabled(map != nullptr);
}

void KLayerPropertiesDlg::writeMuscleFields() {
    const int row = selected();
    if (row < 0) {
        return;
    }
    KBdlMuscle& m = *layer_.muscles[size_t(row)];
    m.height = float(muscleScale->value());
    m.active = muscleActive->isChecked() ? 1 : 0;
    muscles->item(row)->setText(kMuscleLine(m));
}

bool KLayerPropertiesDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == muscleScale && event->type() == QEvent::FocusOut) {
        writeMuscleFields();
    } else if (watched == muscles && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            insertMuscle();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            deleteMuscle();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KLayerPropertiesDlg::editMuscle() {
    const int row = selected();
    if (row < 0) {
        appendMuscle();
        return;
    }
    KBdlMuscle& m = *layer_.muscles[size_t(row)];
    KMuscleSheet sheet(m, doc_.textures, this);
    if (kRunDialog(sheet) == QDialog::Accepted) {
        sheet.apply();
    }
    muscles->item(row)->setText(kMuscleLine(m));
    loadMuscleFields();
}

void KLayerPropertiesDlg::createMuscle(int at) {
    auto muscle = std::make_unique<KBdlMuscle>(KBdlMuscle::Linear);
    KMuscleSheet sheet(*muscle, doc_.textures, this);
    if (kRunDialog(sheet) != QDialog::Accepted) {
        return;
    }
    sheet.apply();
    layer_.muscles.insert(layer_.muscles.begin() + at, std::move(muscle));
    fill();
    select(at);
}

void KLayerPropertiesDlg::appendMuscle() {
    createMuscle(int(layer_.muscles.size()));
}

void KLayerPropertiesDlg::insertMuscle() {
    const int row = selected();
    createMuscle(row >= 0 ? row : int(layer_.muscles.size()));
}

bool KLayerPropertiesDlg::deleteMuscle() {
    const int row = selected();
    if (row < 0) {
        kUi().message("Failed to locate muscle Definition! Cancelling Delete...",
                      KUi::Icon::Warning);
        return false;
    }
    if (!kUi().askOkCancel(kDeleteQuestion, false)) {
        return false;
    }
    layer_.muscles.erase(layer_.muscles.begin() + row);
    fill();
    select(std::min(row, int(layer_.muscles.size()) - 1));
    return true;
}

void KLayerPropertiesDlg::copyMuscle() {
    const int row = selected();
    if (row < 0) {
        return;
    }
    doc_.copiedMuscle = std::make_unique<KBdlMuscle>(*layer_.muscles[size_t(row)]);
    updateButtons();
}

void KLayerPropertiesDlg::pasteMuscle() {
    if (!doc_.copiedMuscle) {
        return;
    }
    auto copy = std::make_unique<KBdlMuscle>(*doc_.copiedMuscle);
    copy->name += " (copy)";
    const int row = selected();
    const int at = std::min(row >= 0 ? row + 1 : 1, int(layer_.muscles.size()));
    layer_.muscles.insert(layer_.muscles.begin() + at, std::move(copy));
    fill();
    select(at);
}

bool KLayerPropertiesDlg::releaseImage() {
    if (!layer_.getImageMap()) {
        return false;
    }
    if (!kUi().askOkCancel("This will release the current image map and discard\nall image "
                           "manipulation operations!\n\nAre you sure you want to continue?",
                           false)) {
        return false;
    }
    layer_.releaseImageMap();
    updateImage();
    return true;
}

void KLayerPropertiesDlg::imageOptions() {
    if (KImageMap* map = layer_.getImageMap()) {
        map->askPixelDepthOption();
    }
}

// ---------------------------------------------------------------- Select User Layer

KSelectUserLayerDlg::KSelectUserLayerDlg(const CPexaDoc& doc, int preselect, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Select User Layer"));
    list = new QListWidget(this);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->addItems(kLayerNames(doc));
    if (preselect >= 0 && preselect < list->count()) {
        list->setCurrentRow(preselect);
    }
    connect(list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* buttons = kOkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(buttons);
}

int KSelectUserLayerDlg::choice() const {
    return selectedRow(list);
}

// ---------------------------------------------------------------- Import Image Options

KImportImageDlg::KImportImageDlg(const CPexaDoc& doc, QWidget* parent)
    : QDialog(parent), doc_(doc) {
    setWindowTitle(tr("Import Image Options"));
    layers = new QListWidget(this);
    layers->setSelectionMode(QAbstractItemView::SingleSelection);
    activeOnly = new QCheckBox(tr("Show Active Layer's Only"), this);
    backgroundOnly = new QCheckBox(tr("Use as background only"), this);
    connect(activeOnly, &QCheckBox::clicked, this, &KImportImageDlg::fill);
    auto* buttons = kOkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Destination Layer:"), this));
    layout->addWidget(layers);
    layout->addWidget(activeOnly);
    layout->addWidget(backgroundOnly);
    layout->addWidget(buttons);
    fill();
}

void KImportImageDlg::fill() {
    const int keep =
        layers->count() > 0 ? layerIndex() : doc_.currentItem - CPexaDoc::ItemFirstLayer;
    layers->clear();
    for (size_t i = 0; i < doc_.layers.size(); ++i) {
        const KBdlLayer& layer = *doc_.layers[i];
        if (activeOnly->isChecked() && !layer.active) {
            continue;
        }
        auto* item = new QListWidgetItem(QString::fromStdString(layer.name), layers);
        item->setData(Qt::UserRole, int(i));
        if (int(i) == keep) {
            layers->setCurrentItem(item);
        }
    }
}

int KImportImageDlg::layerIndex() const {
    const int row = selectedRow(layers);
    return row >= 0 ? layers->item(row)->data(Qt::UserRole).toInt() : -1;
}

// ---------------------------------------------------------------- commands

void kDefineLayers(QWidget* parent, CPexaDoc& doc) {
    KSurfaceHeight::LayerList list = doc.takeLayers();
    {
        KLayerListDlg dlg(list, parent);
        kRunDialog(dlg);
        dlg.writeFields();
    }
    doc.nameNextEdit("Define Layers");
    doc.restoreLayers(std::move(list));
}

void kEditLayerProperties(QWidget* parent, CPexaDoc& doc, KBdlLayer& layer) {
    {
        KLayerPropertiesDlg dlg(layer, doc, parent);
        kRunDialog(dlg);
        dlg.writeMuscleFields();
        dlg.store();
    }
    doc.nameNextEdit("Layer Properties");
    doc.itemChanged(CPexaDoc::HintLayer, &layer);
}

void kOpenCurrentLayer(QWidget* parent, CPexaDoc& doc) {
    KBdlLayer* layer = doc.layerAt(doc.currentItem - CPexaDoc::ItemFirstLayer);
    if (!layer) {
        kUi().message("Can't find layer!", KUi::Icon::Warning);
        return;
    }
    kEditLayerProperties(parent, doc, *layer);
}

void kMoreLayers(QWidget* parent, CPexaDoc& doc) {
    KSelectUserLayerDlg dlg(doc, doc.moreLayersPreselection(), parent);
    if (kRunDialog(dlg) != QDialog::Accepted) {
        return;
    }
    const int e = dlg.choice();
    if (e < 0 || size_t(e) >= doc.layers.size()) {
        return;
    }
    doc.currentItem = CPexaDoc::ItemFirstLayer + e;
    kOpenCurrentLayer(parent, doc);
}

bool kImportTga(QWidget* parent, CPexaDoc& doc) {
    int k = -1;
    bool background = false;
    {
        KImportImageDlg dlg(doc, parent);
        if (kRunDialog(dlg) != QDialog::Accepted) {
            return false;
        }
        k = dlg.layerIndex();
        background = dlg.backgroundOnly->isChecked();
    }
    bool attached = false;
    if (doc.importImageAllowed(k)) {
        KFileRequest request;
        request.title = QObject::tr("Import Image");
        request.filter = QObject::tr("TGA Files (*.tga)");
        request.defaultSuffix = QStringLiteral("tga");
        request.initialName = QStringLiteral("temp");
        const QString path = kChooseFile(parent, request);
        if (!path.isEmpty()) {
            // The option decides whether the new image only shows in the map view; it is
            // in place before the document recomputes, and undone when nothing is attached.
            KBdlLayer* layer = doc.layerAt(k);
            const int32_t oldBackground = layer ? layer->backgroundOnly : 0;
            if (layer) {
                layer->backgroundOnly = background ? 1 : 0;
            }
            attached = doc.importImageFile(k, path.toStdString());
            if (layer && !attached) {
                layer->backgroundOnly = oldBackground;
            }
        }
    }
    if (k >= 0) {
        doc.currentItem = CPexaDoc::ItemFirstLayer + k;
    }
    doc.nameNextEdit("Import Image");
    doc.setModified(true);
    return attached;
}
