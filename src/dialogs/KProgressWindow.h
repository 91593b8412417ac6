#pragma once
// The modeless progress window: a 0-100 bar, the percentage, a status line and Cancel.

#include <QDialog>

class QLabel;
class QProgressBar;

class KProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit KProgressWindow(const QString& title, QWidget* parent = nullptr);

    void setStatus(const QString& text);
    // Clamped to 0..100.
    void setPosition(int percent);
    bool isCancelled() const { return cancelled_; }
    // The Cancel request since the last call; asking clears it, so a "No" to the cancel
    // question lets the work go on until Cancel is pressed again.
    bool takeCancelled() {
        const bool was = cancelled_;
        cancelled_ = false;
        return was;
    }

    QString percentText() const;
    QString statusText() const;
    int position() const;

protected:
    void reject() override; // Cancel and Escape ask the work to stop; the owner closes

private:
    QProgressBar* bar_;
    QLabel* percent_;
    QLabel* status_;
    bool cancelled_ = false;
};
