#pragma once
// Pieces the property dialogs share: the one seam through which every modal dialog, file
// chooser, message-box question and colour chooser of the application runs (tests
// replace its hooks so nothing blocks in a modal loop), a real-number
// field that gives back exactly what it was given unless the user edited it, the
// control-point string field that is parsed into its curve when it loses the focus, and
// the list lines with tab stops.

#include <QColor>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>

class KBdlCurve;
class QDialog;

// Runs a modal dialog and returns its result code. Tests install kRunDialogHook to fill
// in and close the dialog themselves.
int kRunDialog(QDialog& dialog);
extern std::function<int(QDialog&)> kRunDialogHook;

// A file to open or to save, as the file dialog is asked for it.
struct KFileRequest {
    bool save = false;
    QString title;
    QString filter;        // Qt form: "TGA Files (*.tga)"
    QString defaultSuffix; // without the dot
    QString initialName;
    // Where the dialog opens: the folder last visited (the default), or the working
    // folder with initialName selected in it.
    bool inWorkingFolder = false;
};
// The chosen path, empty when cancelled. Tests install kChooseFileHook.
QString kChooseFile(QWidget* parent, const KFileRequest& request);
extern std::function<QString(const KFileRequest&)> kChooseFileHook;
// The file dialog itself, without the test seam: what kChooseFile runs when no hook is
// installed.
QString kExecFileDialog(QWidget* parent, const KFileRequest& request);

// A question in a message box, as it is asked.
struct KQuestion {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Question;
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};
// The button the answer was given with (Escape or closing the box gives the escape
// button, as the message box has it). Tests install kAskHook.
QMessageBox::StandardButton kAsk(QWidget* parent, const KQuestion& question);
extern std::function<QMessageBox::StandardButton(const KQuestion&)> kAskHook;

// The colour chosen, starting from initial; nothing when cancelled. Tests install
// kChooseColorHook.
std::optional<QColor> kChooseColor(QWidget* parent, const QColor& initial);
extern std::function<std::optional<QColor>(const QColor&)> kChooseColorHook;

// Parses text into curve. On success the curve takes it (also a string of fewer than
// three points, which is no failure); on failure the parse message is shown and the
// curve is left exactly as it was. True on success.
bool kParseIntoCurve(KBdlCurve& curve, const QString& text);

// A real-number field. value() is the number set with setValue while the text is the one
// that was shown for it, so an untouched field never rounds its value.
class KRealField : public QLineEdit {
    Q_OBJECT
public:
    explicit KRealField(QWidget* parent = nullptr, double value = 0.0);
    void setValue(double value);
    double value() const;

private:
    double value_ = 0.0;
    QString shown_;
};

// A control-point string field bound to one curve: it shows the curve's string, parses
// its text into the curve when it loses the focus (only when the text differs from the
// curve's string) and says when it gets the focus.
class KCurveField : public QLineEdit {
    Q_OBJECT
public:
    KCurveField(KBdlCurve& curve, const QString& label, QWidget* parent = nullptr);
    KBdlCurve& curve() const { return *curve_; }
    // The name the "Curve Properties..." button shows for it: "Center", "Shape"...
    const QString& label() const { return label_; }
    // Shows the curve's string again.
    void refresh();
    // What losing the focus does; true unless the text failed to parse.
    bool commit();
    // True once a parse of this field changed its curve.
    bool curveChanged() const { return changed_; }

signals:
    void focused(KCurveField* field);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    KBdlCurve* curve_;
    QString label_;
    QString failed_;
    bool changed_ = false;
};

// Draws list lines whose parts are separated by tabs at the given tab stops, in dialog
// units (a quarter of the average character width).
class KTabStopDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    KTabStopDelegate(QList<int> stops, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    QList<int> stops_;
};
