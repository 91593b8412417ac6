#pragma once
// A kind of document window the main frame can open on any document besides the UV map
// window: a name ("3D Preview", "Curve", ...) and the way to make its frame with its view
// for a document. The main frame makes one template per kind the first time the kind is
// asked for and keeps it until it closes; templates are not document types, so they
// never take part in New, Open or the recent-file list.

#include <QMdiSubWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class CPexaDoc;

class KWindowTemplate {
public:
    // Makes the frame, its view and runs their initial update; null when it fails.
    using FrameMaker = std::function<QMdiSubWindow*(CPexaDoc& doc)>;

    KWindowTemplate(QString kind, FrameMaker maker);
    KWindowTemplate(const KWindowTemplate&) = delete;
    KWindowTemplate& operator=(const KWindowTemplate&) = delete;

    const QString& kind() const { return kind_; }
    // A new window of this kind on the document; null when it could not be made.
    QMdiSubWindow* openFrame(CPexaDoc& doc);
    // The windows this template made that are still open, oldest first.
    std::vector<QMdiSubWindow*> openWindows() const;

private:
    QString kind_;
    FrameMaker maker_;
    std::vector<QPointer<QMdiSubWindow>> made_;
};
