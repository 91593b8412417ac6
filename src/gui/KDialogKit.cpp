#include "gui/KDialogKit.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDoubleValidator>
#include <QFileDialog>
#include <QFocusEvent>
#include <QPainter>

#include "model/KBdlCurve.h"
#include "platform/KNumberText.h"

std::function<int(QDialog&)> kRunDialogHook;
std::function<QString(const KFileRequest&)> kChooseFileHook;
std::function<QMessageBox::StandardButton(const KQuestion&)> kAskHook;
std::function<std::optional<QColor>(const QColor&)> kChooseColorHook;

int kRunDialog(QDialog& dialog) {
    if (kRunDialogHook) {
        return kRunDialogHook(dialog);
    }
    return dialog.exec();
}

QString kChooseFile(QWidget* parent, const KFileRequest& request) {
    if (kChooseFileHook) {
        return kChooseFileHook(request);
    }
    return kExecFileDialog(parent, request);
}

QString kExecFileDialog(QWidget* parent, const KFileRequest& request) {
    // Given a bare file name as its folder, the dialog opens in the working folder with
    // that name selected; given none, in the folder last visited.
    const QString start = request.inWorkingFolder ? request.initialName : QString();
    QFileDialog dialog(parent, request.title, start, request.filter);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.inWorkingFolder && !request.initialName.isEmpty()) {
        dialog.selectFile(request.initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().front();
}

QMessageBox::StandardButton kAsk(QWidget* parent, const KQuestion& question) {
    if (kAskHook) {
        return kAskHook(question);
    }
    QMessageBox box(question.icon, question.title, question.text, question.buttons, parent);
    box.setDefaultButton(question.defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

std::optional<QColor> kChooseColor(QWidget* parent, const QColor& initial) {
    if (kChooseColorHook) {
        return kChooseColorHook(initial);
    }
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return chosen;
}

bool kParseIntoCurve(KBdlCurve& curve, const QString& text) {
    // A failed parse would leave the points read up to the fault in the curve; try it on
    // a copy so the curve keeps its last good shape.
    const std::string utf8 = text.toStdString();
    KBdlCurve trial(curve);
    const int status = trial.parse(utf8);
    if (status != KBdlCurve::ParseOk && status != KBdlCurve::ParseFewVertices) {
        KBdlCurve::reportParseStatus(status);
        return false;
    }
    curve.parse(utf8);
    return true;
}

// ---- KRealField

KRealField::KRealField(QWidget* parent, double value) : QLineEdit(parent) {
    auto* validator = new QDoubleValidator(this);
    validator->setLocale(QLocale::c());
    validator->setNotation(QDoubleValidator::StandardNotation);
    setValidator(validator);
    setMinimumWidth(80);
    setValue(value);
}

void KRealField::setValue(double value) {
    value_ = value;
    shown_ = QString::fromStdString(kFormatGeneral(value));
    setText(shown_);
}

double KRealField::value() const {
    if (text() == shown_) {
        return value_;
    }
    return kParseDouble(text().trimmed().toStdString());
}

// ---- KCurveField

KCurveField::KCurveField(KBdlCurve& curve, const QString& label, QWidget* parent)
    : QLineEdit(parent), curve_(&curve), label_(label) {
    setMinimumWidth(320);
    refresh();
}

void KCurveField::refresh() {
    setText(QString::fromStdString(curve_->getString()));
    setCursorPosition(0);
}

bool KCurveField::commit() {
    if (text() == QString::fromStdString(curve_->getString())) {
        return true;
    }
    // The same faulty text is reported once, not again on every focus change.
    if (text() == failed_) {
        return false;
    }
    if (!kParseIntoCurve(*curve_, text())) {
        failed_ = text();
        return false;
    }
    failed_.clear();
    changed_ = true;
    return true;
}

void KCurveField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focused(this);
}

void KCurveField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    commit();
}

// ---- KTabStopDelegate

KTabStopDelegate::KTabStopDelegate(QList<int> stops, QObject* parent)
    : QStyledItemDelegate(parent), stops_(std::move(stops)) {}

void KTabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString line = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    // One horizontal dialog unit is a quarter of the average width of the letters.
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const double unit = opt.fontMetrics.horizontalAdvance(letters) / 52.0 / 4.0;
    const QStringList parts = line.split(QLatin1Char('\t'));
    painter->save();
    painter->setFont(opt.font);
    const bool selected = opt.state & QStyle::State_Selected;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    for (int i = 0; i < parts.size(); ++i) {
        const int x =
            i == 0 ? 0 : int(stops_.value(i - 1, stops_.isEmpty() ? 0 : stops_.last()) * unit);
        const int next = i < stops_.size() ? int(stops_[i] * unit) : textRect.width();
        QRect r(textRect.left() + x, textRect.top(), std::max(0, next - x - 2), textRect.height());
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
                          opt.fontMetrics.elidedText(parts[i], Qt::ElideRight, r.width()));
    }
    painter->restore();
}
