#pragma once
// The item editor's views. KViewMdlCurve edits one profile curve of the muscle (height
// or cross-section) with a caption at the bottom; KViewMdlPos shows the muscle's center
// curve and width edges together and edits whichever is active; KViewMdl3D is the
// reserved fourth pane and draws nothing. All of them switch panes with Tab and
// Ctrl+1..4; every change of the muscle goes to the frame, which reports it.

#include <QWidget>

#include "edit/KMdlPosModel.h"
#include "views/KViewCurve.h"

class KBdlMuscle;
class KFrameMdl;

class KViewMdlCurve : public KViewCurve {
    Q_OBJECT
public:
    KViewMdlCurve(KFrameMdl& frame, int paneId, QWidget* parent = nullptr);
    int paneId() const { return paneId_; }
    KFrameMdl& frame() const { return frame_; }
    // The pane caption with " (r-N)" when the curve repeats more than once.
    QString caption() const;

protected:
    KViewMdlCurve(KFrameMdl& frame, int paneId, std::unique_ptr<KCurveEditModel> model,
                  QWidget* parent);
    // The client area inset by 10, its bottom raised by the caption's text height.
    KCurveEditModel::Rect editingRect() const override;
    void drawOverlay(QPainter& p) override;
    bool itemKey(QKeyEvent* event) override;
    bool checkCurve() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }
    void drawCaption(QPainter& p);

    KFrameMdl& frame_;
    int paneId_;
    // Inside a paint or resize: a deleted muscle's message waits until the event is done.
    bool deferMessages_ = false;
};

class KViewMdlPos : public KViewMdlCurve {
    Q_OBJECT
public:
    explicit KViewMdlPos(KFrameMdl& frame, QWidget* parent = nullptr);
    KMdlPosModel& pos() const { return static_cast<KMdlPosModel&>(*model_); }
    void setItem(KBdlMuscle* muscle);

    // Makes curve k active and edits it in "Curve Properties".
    void manualEditCurve(int k);
    void userZoom();
    void toggleZoom();
    void resetZoom();
    QMenu* createContextMenu(QWidget* parent) override;
    // "(C)", "(Lo)" or "(Hi)" for the active curve.
    QString activeTag() const;

protected:
    void drawCurve(QPainter& p) override;
    void drawOverlay(QPainter& p) override;
    void hovered() override { update(); }
};

class KViewMdl3D : public QWidget {
    Q_OBJECT
public:
    explicit KViewMdl3D(KFrameMdl& frame, QWidget* parent = nullptr);
    static constexpr int kPaneId = 3;

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    KFrameMdl& frame_;
};

// Tab, Shift+Tab and Ctrl+1..4 of any pane: true when the key switched panes.
bool kMdlPaneKey(KFrameMdl& frame, int paneId, QKeyEvent* event);
