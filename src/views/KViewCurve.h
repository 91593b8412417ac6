#pragma once
// The curve editor view: one curve drawn as a graph in the editing rectangle (samples in
// alternating red and blue segments, control points as small squares), edited with the
// mouse, the keys and a context menu. The editing itself is KCurveEditModel's; this
// class paints, turns events into model operations and runs the commands' dialogs.
// Alone it fills the "Curve" window and edits a curve of its own; the item editor's
// views derive from it.

#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "edit/KCurveEditModel.h"

class QMenu;
class QAction;

class KViewCurve : public QWidget {
    Q_OBJECT
public:
    explicit KViewCurve(QWidget* parent = nullptr);
    ~KViewCurve() override;

    KCurveEditModel& model() const { return *model_; }
    // Attaches a curve the view does not own (null for none).
    void setCurve(KBdlCurve* curve);
    KBdlCurve* curve() const { return model_->curve(); }

    const QString& name() const { return name_; }
    const QString& message() const { return message_; }
    // Shows the message (pane 0 of the frame's status bar), with the point and repeat
    // counts in panes 1 and 2.
    void showMessage(const QString& text);

    // ---- commands (each repaints; those that change the curve emit curveEdited)
    void manualEdit();
    void equalize(int mode);
    void reverseCurve();
    void setDrawDirection(int direction);
    void editingProperties();
    void setPolyline();
    void setSpline();
    void undoEdit();
    void redoEdit();
    bool canEqualize() const { return model_->curve() && model_->selectedCount() >= 2; }
    // The context menu, built with the current enabled states and check marks.
    virtual QMenu* createContextMenu(QWidget* parent);

signals:
    // The user changed the curve (points, basis, settings); sent once per change.
    void curveEdited();
    // The message changed.
    void messageShown(const QString& text);

protected:
    KViewCurve(std::unique_ptr<KCurveEditModel> model, QWidget* parent);

    // The editing rectangle: the client area inset by 10 pixels.
    virtual KCurveEditModel::Rect editingRect() const;
    // Sets the rectangle and lays the points out again.
    void recalcRect();
    // Draws the curve graph and the control points.
    virtual void drawCurve(QPainter& p);
    // Drawn after the curve (captions of the item editor's views).
    virtual void drawOverlay(QPainter& p) { (void)p; }
    // Keys a subclass takes before the curve keys; true when handled.
    virtual bool itemKey(QKeyEvent* event) {
        (void)event;
        return false;
    }
    // Called before an event touches the curve; false stops it (the curve went away).
    virtual bool checkCurve() { return true; }
    // Hands a finished change on (repaint, status, curveEdited).
    void changed();
    // Draws the samples of a curve from positions (alternating red and blue) and squares.
    static void drawSamples(QPainter& p, const std::vector<QPointF>& samples);
    static void drawSquares(QPainter& p, const std::vector<KVertex>& points,
                            const std::function<bool(int)>& selected);
    void addCurveCommands(QMenu* menu);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Hover over a point changed what is shown (the position view switches curves).
    virtual void hovered() {}

    std::unique_ptr<KCurveEditModel> model_;
    QString name_ = QStringLiteral("Curve Edit");
    QString message_;

private:
    bool curveKey(QKeyEvent* event);
    QPoint dragStart_{-1, -1};
    QPoint dragEnd_{-1, -1};
    QPoint delta_{0, 0};
    bool dragging_ = false;
};
