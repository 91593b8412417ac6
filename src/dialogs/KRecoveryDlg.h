#pragma once
// "Recover Documents": the documents a run that ended without closing them left behind,
// each with its name, where it was saved and when it was last written. Open recovers the
// checked ones (the others are discarded with them), Discard throws all of them away,
// Later (or closing the box) keeps them for the next start.

#include <QDateTime>
#include <QDialog>
#include <vector>

class QListWidget;

class KRecoveryDlg : public QDialog {
    Q_OBJECT
public:
    // The dialog's result beside Accepted (Open) and Rejected (Later).
    static constexpr int Discard = 2;

    struct Row {
        QString title;
        QString originalPath; // empty: never saved
        QDateTime time;
    };
    explicit KRecoveryDlg(const std::vector<Row>& rows, QWidget* parent = nullptr);

    // The rows checked for opening, by index.
    std::vector<int> chosen() const;
    void setChecked(int row, bool on);
    QListWidget* list() const { return list_; }

    // One line of the list: "<title> - <path> (saved <time>)".
    static QString rowText(const Row& row);

private:
    QListWidget* list_ = nullptr;
};
