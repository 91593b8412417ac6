#pragma once
// The status bar at the bottom of a child window: pane 0 (messages, no border) takes
// whatever the others leave; the other panes are exactly as wide as their sample texts
// and end at the right of the bar (kStatusPaneEdges). The views write panes by index.
// The panes are placed at those edges by the bar itself, side by side and clipped to it:
// in a bar too narrow for them the message pane gives way first, then the panes to the
// right of it, so that no two panes ever cover each other.

#include <QStatusBar>
#include <QStringList>
#include <vector>

class QLabel;

class KStatusPaneBar : public QStatusBar {
    Q_OBJECT
public:
    // samples: one sample text per pane; margin: 30 or 20; initial: pane 0's first text.
    KStatusPaneBar(QStringList samples, int margin, const QString& initial, QWidget* parent);

    int paneCount() const { return int(panes_.size()); }
    void setPaneText(int pane, const QString& text);
    QString paneText(int pane) const;
    // The pane's widget (its geometry is where it is drawn).
    QLabel* pane(int pane) const;
    // The panes' right edges as last laid out.
    const std::vector<int>& paneEdges() const { return edges_; }
    // Lays the panes out for the bar's current width (also done on every resize).
    void layoutPanes();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Strip;
    // Puts the panes at the edges within the strip's current width.
    void placePanes();

    QStringList samples_;
    int margin_;
    Strip* strip_ = nullptr;
    std::vector<QLabel*> panes_;
    std::vector<int> edges_;
};
