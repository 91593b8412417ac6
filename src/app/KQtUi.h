#pragma once
// The desktop front end of KUi: message boxes, questions, the two small value dialogs,
// the wait cursor and the modeless progress window.

#include <QPointer>

#include "platform/KUi.h"

class QWidget;
#include "dialogs/KProgressWindow.h"

class KQtUi : public KUi {
public:
    explicit KQtUi(QWidget* parent = nullptr) : parent_(parent) {}
    ~KQtUi() override;
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(std::string_view text, Icon icon) override;
    bool askYesNo(std::string_view text, bool defaultAnswer) override;
    bool askOkCancel(std::string_view text, bool defaultAnswer) override;
    int askPixelDepth(int preset, const std::array<bool, 9>& enabled) override;
    bool askItemDefaults(std::string_view title, std::string_view note, double& totalWidth,
                         double& centerPosition) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    void progressBegin(std::string_view title) override;
    void progressStatus(std::string_view text) override;
    void progressPosition(int percent) override;
    bool progressCancelled() override;
    void progressEnd() override;

    // The progress window while one is open (for tests).
    KProgressWindow* progressWindow() const { return progress_; }

private:
    QPointer<QWidget> parent_;
    QPointer<KProgressWindow> progress_;
    int progressDepth_ = 0;
    bool parentWasEnabled_ = true;
};
