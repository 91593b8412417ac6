#pragma once
// Autosave and crash recovery. Every interval each modified document is written to a
// recovery file in this run's session folder under the per-user data folder, never over
// the user's own file. A session folder holds a lock file with the owner's process id
// for as long as the program runs, so a later start offers only the documents of runs
// that ended without cleaning up (a crash), never those of an instance still running.
// A normal close of a document removes its recovery file; a normal end removes the
// session folder.

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

class CDocManager;
class CPexaDoc;

class KAutosave : public QObject {
    Q_OBJECT
public:
    // A document left behind by an ended run.
    struct Recovered {
        QString file;         // the recovery file (a document file)
        QString originalPath; // where the document was saved; empty when untitled
        QString title;        // the title it had, for the list
        QDateTime time;       // when the recovery file was written
    };

    // root: the folder that holds the session folders (made when needed).
    KAutosave(CDocManager& docs, const QString& root, QObject* parent = nullptr);
    ~KAutosave() override;

    // <per-user data folder>/recovery.
    static QString defaultRoot();

    // 0 turns autosave off.
    void setInterval(int milliseconds);
    int interval() const { return intervalMs_; }
    bool timerActive() const { return timer_.isActive(); }

    // Writes every modified document now; removes the files of documents that were
    // saved or closed since.
    void saveNow();
    // A tick of the timer: saveNow(), unless a modal dialog is open or the main window
    // is disabled by a long operation (which may be reading the documents); then it is
    // tried again a few seconds later.
    void tick();
    static constexpr int kBusyRetryMs = 3000;
    // The recovery file of a document, empty when it has none.
    QString fileOf(const CPexaDoc* doc) const;
    const QString& sessionFolder() const { return session_; }

    // The documents of ended runs, oldest first. The folders they are in are taken over
    // (locked) until resolve() is called.
    std::vector<Recovered> findRecovered();
    // Opens the chosen documents as modified (titled as before), reports files that
    // cannot be read, then removes every file findRecovered() returned. Returns how many
    // documents were opened.
    int openRecovered(const std::vector<Recovered>& chosen);
    // Removes the files findRecovered() returned, and their folders.
    void discardRecovered();
    // Lets go of the folders findRecovered() took over, leaving their files for a later
    // start.
    void keepRecoveredForLater();

    // The normal end of the program: the session folder goes.
    void endSession();

private:
    struct Entry {
        QString file;
        QString info;
    };
    void ensureSession();
    bool writeRecovery(CPexaDoc& doc, Entry& entry);
    void removeEntry(Entry& entry);
    void pruneClosedDocuments();
    bool busy() const;
    // Removes our files from a folder taken over from an ended run, lets go of its lock
    // and removes the folder when nothing else is in it.
    static void clearFolder(const QString& path, QLockFile& lock);

    CDocManager& docs_;
    QString root_;
    QString session_;
    std::unique_ptr<QLockFile> lock_;
    QTimer timer_;
    QTimer retry_;
    int intervalMs_ = 0;
    int nextFile_ = 1;
    std::map<const CPexaDoc*, Entry> files_;
    // Session folders of ended runs taken over by findRecovered().
    std::vector<std::pair<QString, std::unique_ptr<QLockFile>>> adopted_;
};
