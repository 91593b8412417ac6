#include "app/KAutosave.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <algorithm>
#include <optional>

#include "app/CDocManager.h"
#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "platform/KFile.h"
#include "platform/KUi.h"

namespace {

const char* const kLockName = "session.lock";
const char* const kInfoSuffix = ".json";
const char* const kDocumentSuffix = ".qrz";
// A description of a recovery file is a few hundred bytes; anything much larger is not one.
constexpr uint64_t kMaxInfoBytes = 64 * 1024;

// A lock that only the death of its owner makes stale: a long-running instance keeps its
// lock however old the file is.
std::unique_ptr<QLockFile> makeLock(const QString& folder) {
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(QString::fromLatin1(kLockName)));
    lock->setStaleLockTime(0);
    return lock;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    std::string error;
    return kWriteFileAtomic(QFile::encodeName(path).toStdString(), bytes.constData(),
                            size_t(bytes.size()), &error);
}

// The description written beside a recovery file; nothing when it is not one of ours.
std::optional<KAutosave::Recovered> readInfo(const QString& infoPath) {
    std::vector<uint8_t> bytes;
    if (!kReadFile(QFile::encodeName(infoPath).toStdString(), bytes, nullptr, kMaxInfoBytes)) {
        return std::nullopt;
    }
    const QJsonDocument json = QJsonDocument::fromJson(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    if (!json.isObject()) {
        return std::nullopt;
    }
    const QJsonObject o = json.object();
    if (!o.value(QStringLiteral("path")).isString() ||
        !o.value(QStringLiteral("title")).isString()) {
        return std::nullopt;
    }
    KAutosave::Recovered r;
    r.originalPath = o.value(QStringLiteral("path")).toString();
    r.title = o.value(QStringLiteral("title")).toString().left(200);
    // Only an absolute path can be the document's own; anything else stays untitled.
    if (!r.originalPath.isEmpty() && QFileInfo(r.originalPath).isRelative()) {
        r.originalPath.clear();
    }
    QString file = infoPath;
    file.chop(int(qstrlen(kInfoSuffix)));
    r.file = file + QString::fromLatin1(kDocumentSuffix);
    const QFileInfo info(r.file);
    if (!info.isFile() || info.isSymLink()) {
        return std::nullopt;
    }
    r.time = info.lastModified();
    return r;
}

} // namespace

KAutosave::KAutosave(CDocManager& docs, const QString& root, QObject* parent)
    : QObject(parent), docs_(docs), root_(root) {
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, &KAutosave::tick);
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &KAutosave::tick);
    // A closed document's recovery file goes with it.
    connect(&docs_, &CDocManager::documentsChanged, this, &KAutosave::pruneClosedDocuments);
}

KAutosave::~KAutosave() {
    endSession();
    keepRecoveredForLater();
}

QString KAutosave::defaultRoot() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

void KAutosave::setInterval(int milliseconds) {
    intervalMs_ = std::max(0, milliseconds);
    if (intervalMs_ == 0) {
        timer_.stop();
        retry_.stop();
        return;
    }
    timer_.start(intervalMs_);
}

void KAutosave::ensureSession() {
    if (lock_) {
        return;
    }
    // The folder is named by the process id and a time, so two runs never share one.
    const QString name = QStringLiteral("%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentMSecsSinceEpoch());
    const QString folder = QDir(root_).filePath(name);
    if (!QDir().mkpath(folder)) {
        return;
    }
    auto lock = makeLock(folder);
    if (!lock->tryLock(0)) {
        return;
    }
    session_ = folder;
    lock_ = std::move(lock);
}

bool KAutosave::busy() const {
    if (QApplication::activeModalWidget()) {
        return true;
    }
    const auto* window = qobject_cast<const QWidget*>(parent());
    return window && !window->isEnabled();
}

void KAutosave::tick() {
    if (busy()) {
        retry_.start(kBusyRetryMs);
        return;
    }
    retry_.stop();
    saveNow();
}

QString KAutosave::fileOf(const CPexaDoc* doc) const {
    const auto it = files_.find(doc);
    return it == files_.end() ? QString() : it->second.file;
}

void KAutosave::saveNow() {
    pruneClosedDocuments();
    for (CPexaDoc* doc : docs_.documents()) {
        auto it = files_.find(doc);
        if (!doc->isModified()) {
            // Saved since: the user's own file is newer than the recovery file.
            if (it != files_.end()) {
                removeEntry(it->second);
                files_.erase(it);
            }
            continue;
        }
        if (it == files_.end()) {
            ensureSession();
            if (session_.isEmpty()) {
                return; // no folder to write to: try again at the next tick
            }
            const QString base = QDir(session_).filePath(QStringLiteral("doc%1").arg(nextFile_++));
            it = files_
                     .emplace(doc, Entry{base + QString::fromLatin1(kDocumentSuffix),
                                         base + QString::fromLatin1(kInfoSuffix)})
                     .first;
        }
        writeRecovery(*doc, it->second);
    }
}

bool KAutosave::writeRecovery(CPexaDoc& doc, Entry& entry) {
    // Storing tells the views to put their state into the document, as a save does; the
    // modified flag stays as it is.
    const bool modified = doc.isModified();
    const std::vector<uint8_t> bytes = kDocumentBytes(doc);
    doc.setModified(modified);
    QJsonObject info;
    info.insert(QStringLiteral("path"), QString::fromStdString(doc.pathName()));
    info.insert(QStringLiteral("title"), docs_.title(&doc));
    // The document first: a description always names a complete file.
    return writeBytes(entry.file, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                             qsizetype(bytes.size()))) &&
           writeBytes(entry.info, QJsonDocument(info).toJson());
}

void KAutosave::removeEntry(Entry& entry) {
    QFile::remove(entry.info);
    QFile::remove(entry.file);
}

void KAutosave::pruneClosedDocuments() {
    const std::vector<CPexaDoc*> open = docs_.documents();
    for (auto it = files_.begin(); it != files_.end();) {
        if (std::find(open.begin(), open.end(), it->first) == open.end()) {
            removeEntry(it->second);
            it = files_.erase(it);
        } else {
            ++it;
        }
    }
}

std::vector<KAutosave::Recovered> KAutosave::findRecovered() {
    std::vector<Recovered> found;
    const QDir root(root_);
    const auto folders =
        root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& folder : folders) {
        const QString path = folder.absoluteFilePath();
        if (path == session_ || std::any_of(adopted_.begin(), adopted_.end(),
                                            [&](const auto& a) { return a.first == path; })) {
            continue;
        }
        // A folder whose lock is held belongs to a program that still runs.
        auto lock = makeLock(path);
        if (!lock->tryLock(0)) {
            continue;
        }
        const QDir dir(path);
        const auto infos =
            dir.entryInfoList({QStringLiteral("*") + QString::fromLatin1(kInfoSuffix)},
                              QDir::Files | QDir::NoSymLinks, QDir::Name);
        const size_t before = found.size();
        for (const QFileInfo& info : infos) {
            if (auto r = readInfo(info.absoluteFilePath())) {
                found.push_back(*r);
            }
        }
        if (found.size() == before) {
            // Nothing to offer: what the ended run left goes now.
            clearFolder(path, *lock);
            continue;
        }
        adopted_.emplace_back(path, std::move(lock));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Recovered& a, const Recovered& b) { return a.time < b.time; });
    return found;
}

int KAutosave::openRecovered(const std::vector<Recovered>& chosen) {
    int opened = 0;
    for (const Recovered& r : chosen) {
        std::vector<uint8_t> bytes;
        std::string error;
        CPexaDoc* doc = nullptr;
        if (kReadFile(QFile::encodeName(r.file).toStdString(), bytes, &error)) {
            // Layer images named relative to the document are looked for beside it.
            const std::string folder = r.originalPath.isEmpty()
                                           ? std::string()
                                           : QFileInfo(r.originalPath).absolutePath().toStdString();
            auto loaded = kLoadDocumentBytes(std::move(bytes), r.title.toStdString(), &error,
                                             nullptr, folder);
            if (loaded) {
                doc = docs_.openRecovered(std::move(loaded), r.originalPath);
            }
        }
        if (doc) {
            ++opened;
        } else if (!error.empty()) {
            kUi().message(error, KUi::Icon::Error);
        }
    }
    discardRecovered();
    // What was opened is modified: it is written to this run's recovery files at once, so
    // a second crash before the next tick loses nothing.
    if (opened > 0) {
        saveNow();
    }
    return opened;
}

void KAutosave::clearFolder(const QString& path, QLockFile& lock) {
    QDir dir(path);
    const auto files =
        dir.entryInfoList({QStringLiteral("*") + QString::fromLatin1(kInfoSuffix),
                           QStringLiteral("*") + QString::fromLatin1(kDocumentSuffix)},
                          QDir::Files | QDir::System | QDir::Hidden);
    for (const QFileInfo& f : files) {
        QFile::remove(f.absoluteFilePath()); // a link goes, not what it points to
    }
    lock.unlock();
    // Only an empty folder goes: anything else in it is not ours to delete.
    dir.rmdir(path);
}

void KAutosave::discardRecovered() {
    for (auto& [path, lock] : adopted_) {
        clearFolder(path, *lock);
    }
    adopted_.clear();
}

void KAutosave::keepRecoveredForLater() {
    for (auto& entry : adopted_) {
        entry.second->unlock();
    }
    adopted_.clear();
}

void KAutosave::endSession() {
    timer_.stop();
    retry_.stop();
    for (auto& [doc, entry] : files_) {
        removeEntry(entry);
    }
    files_.clear();
    if (lock_) {
        lock_->unlock();
        lock_.reset();
        QDir().rmdir(session_);
    }
    session_.clear();
}
