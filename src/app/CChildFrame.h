#pragma once
// The MDI window of a UV map view: the view above its own status bar with three panes
// (messages, UV position, zoom). Closing the last window of a document closes the
// document, after asking to save it when it is modified.

#include <QMdiSubWindow>

#include "gui/KStatusPaneBar.h"
#include "gui/KViewHost.h"
#include <vector>

class CPexaDoc;
class CPexaView;
class CDocManager;

class CChildFrame : public QMdiSubWindow, public KViewHost {
    Q_OBJECT
public:
    static constexpr int kPaneCount = 3;
    static constexpr int kMargin = 30;

    CChildFrame(CDocManager& manager, CPexaDoc& doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CPexaDoc& document() const { return doc_; }
    CPexaView* view() const { return view_; }
    // The document's title: its file name, or "QuorlN" before it is saved.
    QString documentTitle() const override;
    QMdiSubWindow& hostWindow() override { return *this; }
    KStatusPaneBar* paneBar() const override { return status_; }

    void setPaneText(int pane, const QString& text) override;
    QString paneText(int pane) const;
    // The panes' right edges as last laid out (for tests).
    const std::vector<int>& paneEdges() const;
    // Lays the panes out for the bar's current width.
    void layoutPanes();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CDocManager& manager_;
    CPexaDoc& doc_;
    CPexaView* view_;
    KStatusPaneBar* status_;
};
