#pragma once
// The item editor ("MDL Item" window): one muscle of a document at a time, in four
// panes of a 2 x 2 splitter: the position view (center curve and width edges), the
// upper and lower profile views (height and cross-section, by muscle type) and the
// reserved 3D pane. A toolbar carries the common commands. The frame references the
// muscle (the document owns it), reports every change as ItemChanged(3, muscle) and
// notices when the muscle has gone from the document.

#include <QMdiSubWindow>
#include <QPointer>

#include "platform/KDocumentBase.h"

class QDialog;

class CPexaDoc;
class KBdlMuscle;
class KViewCurve;
class KViewMdl3D;
class KViewMdlCurve;
class KViewMdlPos;
class QAction;
class QSplitter;
class QToolBar;

class QMainWindow;

class KFrameMdl : public QMdiSubWindow, public KViewObserver {
    Q_OBJECT
public:
    enum Pane : int { PositionPane = 0, UpperPane = 1, LowerPane = 2, Pane3D = 3 };

    explicit KFrameMdl(CPexaDoc& doc, QWidget* parent = nullptr);
    ~KFrameMdl() override;

    CPexaDoc& document() const { return doc_; }
    KBdlMuscle* muscle() const { return muscle_; }
    int layerIndex() const { return layerIndex_; }
    int muscleIndex() const { return muscleIndex_; }
    bool changedFlag() const { return changed_; }

    // Finds the muscle in the document and loads it; "Couldn't reference item for
    // editing" when it is not there. True when loaded.
    bool editMuscle(KBdlMuscle* muscle);
    // Loads the muscle without reporting a change.
    void loadMuscle(KBdlMuscle* muscle);
    // Puts the loaded muscle's curves into the panes.
    void showItem();
    // Reports a change of the loaded muscle to the document (not while loading).
    void notifyChanged();
    // The caption of a pane.
    QString paneTitle(int paneId) const;
    // False (after emptying the editor and saying so) when the loaded muscle is no longer
    // where it was in the document. deferMessage shows the message once events run again
    // (for checks made while painting). True when there is no muscle or it is in place.
    bool checkItem(bool deferMessage = false);

    int activePane() const { return activePane_; }
    // Gives pane id the focus, making it the active pane.
    void activatePane(int paneId);
    // A pane got the focus: captions change colour.
    void paneActivated(int paneId);
    void repaintPanes();
    QWidget* paneView(int paneId) const;
    KViewMdlPos* positionView() const { return pos_; }
    KViewMdlCurve* upperView() const { return upper_; }
    KViewMdlCurve* lowerView() const { return lower_; }
    KViewMdl3D* view3D() const { return view3d_; }
    // The editing view of the active pane (null for the 3D pane).
    KViewCurve* activeCurveView() const;
    QSplitter* rows() const { return rows_; }
    QSplitter* row(int r) const { return r == 0 ? top_ : bottom_; }

    QToolBar* toolBar() const { return toolBar_; }
    QAction* action(const QString& name) const;
    void updateCommands();

    // ---- commands
    void selectItem();
    void modifyItem();
    void setSymmetricWidth(bool symmetric);
    // "Set View Size" and "Capture View" (F9) for this frame, as in the UV map view but
    // without progress texts while capturing.
    void setViewSize();
    void captureView();

    void onUpdate(int hint, KPersistent* object) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createToolBar();
    // The position view's four scaling commands, as a menu of the "User Zoom" button.
    void addScalingCommands(QAction* userZoom);
    void forget();
    void reloadPositionView();

    CPexaDoc& doc_;
    KBdlMuscle* muscle_ = nullptr;
    int layerIndex_ = -1;
    int muscleIndex_ = -1;
    bool changed_ = true;
    int updateDepth_ = 0;
    bool notifying_ = false;
    int activePane_ = PositionPane;
    bool sized_ = false;
    bool includeFrame_ = true;
    int captureTarget_ = 0;
    QToolBar* toolBar_ = nullptr;
    // The toolbar's commands whose state follows the active pane and the item.
    struct Commands {
        QAction* undo = nullptr;
        QAction* redo = nullptr;
        QAction* minimizeOffsets = nullptr;
        QAction* averageOffsets = nullptr;
        QAction* maximizeOffsets = nullptr;
        QAction* spline = nullptr;
        QAction* polyline = nullptr;
        QAction* symmetricWidth = nullptr;
        QAction* nonSymmetricWidth = nullptr;
        QAction* zoomOnOff = nullptr;
        QAction* resetZoom = nullptr;
    } commands_;
    QSplitter* rows_ = nullptr;
    QSplitter* top_ = nullptr;
    QSplitter* bottom_ = nullptr;
    KViewMdlPos* pos_ = nullptr;
    KViewMdlCurve* upper_ = nullptr;
    KViewMdlCurve* lower_ = nullptr;
    KViewMdl3D* view3d_ = nullptr;
    // The main window whose status bar shows this editor's last message, and the message.
    QPointer<QMainWindow> statusOwner_;
    QString statusShown_;
};
