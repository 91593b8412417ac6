// Autosave and recovery inside one process: which documents get recovery files and when
// they go, the preferences that drive the timer, and the recovery offer at start-up with
// its three answers, including files of a program that still runs and hostile files.

#include "KGuiTestKit.h"
#include "app/CDocManager.h"
#include "app/KAutosave.h"
#include "dialogs/KPreferencesDlg.h"
#include "dialogs/KRecoveryDlg.h"
#include "document/KDocumentFile.h"

namespace {

// Every file under folder, relative names, sorted.
QStringList filesUnder(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        out << QDir(folder).relativeFilePath(it.next());
    }
    out.sort();
    return out;
}

// The description stored in a document file, or a note saying it cannot be read.
std::string descriptionIn(const QString& path) {
    std::string error;
    auto doc = kOpenDocument(path.toStdString(), &error);
    return doc ? doc->description : "unreadable: " + error;
}

// A change of the document's description, marked as not saved.
void edit(CPexaDoc* doc, const char* description) {
    doc->description = description;
    doc->setModified(true);
}

// Copies a session folder to a new one without its lock, as a crashed run leaves it.
QString copyAsCrashed(const QString& session, const QString& root, const QString& name) {
    const QString target = QDir(root).filePath(name);
    QDir().mkpath(target);
    for (const QFileInfo& f : QDir(session).entryInfoList(QDir::Files | QDir::Hidden)) {
        if (f.fileName() != QLatin1String("session.lock")) {
            QFile::copy(f.absoluteFilePath(), QDir(target).filePath(f.fileName()));
        }
    }
    return target;
}

} // namespace

class TestAutosave : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

    QString root() const { return QDir(files_.path()).filePath(QStringLiteral("recovery")); }

    // Leaves, in root(), the recovery files of a run that crashed with an edited saved
    // document (description "edited") and an edited untitled one. Returns the saved
    // document's path.
    QString leaveCrashedRun() {
        const QString path = files_.filePath(QStringLiteral("crashed é.qrz"));
        CPexaDoc original;
        original.description = "as saved";
        if (!kSaveDocument(original, path.toStdString(), nullptr)) {
            return QString();
        }
        CMainFrame frame;
        KAutosave autosave(frame.documents(), root());
        CPexaDoc* saved = frame.documents().openDocument(path);
        CPexaDoc* untitled = frame.documents().newDocument();
        edit(saved, "edited");
        edit(untitled, "never saved");
        autosave.saveNow();
        copyAsCrashed(autosave.sessionFolder(), root(), QStringLiteral("1-1"));
        return path;
    }

private slots:
    void initTestCase() { kUseTestSettings(); }
    void init() {
        QSettings().clear();
        QDir(root()).removeRecursively();
    }

    void recoveryFilesFollowTheModifiedDocuments() {
        KTestUi ui;
        CMainFrame frame;
        KAutosave autosave(frame.documents(), root());
        CPexaDoc* doc = frame.documents().newDocument();
        autosave.saveNow();
        QVERIFY2(autosave.fileOf(doc).isEmpty(), "an unmodified document needs no recovery");

        edit(doc, "first edit");
        autosave.saveNow();
        const QString file = autosave.fileOf(doc);
        QVERIFY(QFileInfo(file).absolutePath().startsWith(root()));
        QCOMPARE(descriptionIn(file), std::string("first edit"));
        // The lock of the running session lies beside it.
        QVERIFY(QFileInfo::exists(QDir(autosave.sessionFolder()).filePath("session.lock")));

        // Saving makes the recovery file useless: it goes at the next tick, and the user's
        // file is the only one written by the save.
        const QString path = files_.filePath(QStringLiteral("saved.qrz"));
        QVERIFY(kSaveDocument(*doc, path.toStdString(), nullptr));
        autosave.saveNow();
        QVERIFY(!QFileInfo::exists(file));
        QCOMPARE(descriptionIn(path), std::string("first edit"));

        // A later edit goes to a recovery file again, never to the user's file.
        edit(doc, "second edit");
        autosave.saveNow();
        QCOMPARE(descriptionIn(autosave.fileOf(doc)), std::string("second edit"));
        QCOMPARE(descriptionIn(path), std::string("first edit"));

        // Closing the document without saving removes its recovery file at once.
        const QString second = autosave.fileOf(doc);
        KQuestionScript discard(QMessageBox::Discard);
        QVERIFY(frame.documents().closeDocument(doc));
        QVERIFY(!QFileInfo::exists(second));

        // The normal end leaves nothing behind.
        const QString session = autosave.sessionFolder();
        autosave.endSession();
        QVERIFY(!QFileInfo::exists(session));
    }

    void preferencesDriveTheTimerAndPersist() {
        {
            CMainFrame frame;
            QVERIFY(frame.arrangeWindows());
            QCOMPARE(frame.autosave().interval(), 2 * 60 * 1000);
            QVERIFY(frame.autosave().timerActive());
            KDialogScript script([](QDialog& d) {
                auto& dialog = dynamic_cast<KPreferencesDlg&>(d);
                dialog.arrangeBox()->setChecked(false);
                dialog.autosaveBox()->setValue(0);
                return int(QDialog::Accepted);
            });
            QVERIFY(frame.editPreferences());
            QVERIFY(!frame.autosave().timerActive());
        }
        {
            CMainFrame frame; // the next run reads them back
            QVERIFY(!frame.arrangeWindows());
            QCOMPARE(frame.autosaveMinutes(), 0);
            QVERIFY(!frame.autosave().timerActive());
            KDialogScript script([](QDialog& d) {
                dynamic_cast<KPreferencesDlg&>(d).autosaveBox()->setValue(5);
                return int(QDialog::Rejected);
            });
            QVERIFY(!frame.editPreferences());
            QCOMPARE(frame.autosaveMinutes(), 0); // Cancel changes nothing
        }
        // A damaged setting keeps the default; one out of range is brought into it.
        QSettings().setValue("Settings/AutosaveMinutes", "soon");
        QCOMPARE(CMainFrame().autosaveMinutes(), 2);
        QSettings().setValue("Settings/AutosaveMinutes", -4);
        QCOMPARE(CMainFrame().autosaveMinutes(), 0);
    }

    void theTimerWritesModifiedDocumentsWhenNothingElseRuns() {
        CMainFrame frame;
        KAutosave autosave(frame.documents(), root(), &frame);
        CPexaDoc* doc = frame.documents().newDocument();
        edit(doc, "by the timer");
        // Neither while a dialog is open nor while a long operation (which disables the
        // main window) may be reading the document.
        QDialog dialog;
        dialog.setModal(true);
        dialog.show();
        autosave.setInterval(20);
        QTest::qWait(200);
        QVERIFY(autosave.fileOf(doc).isEmpty());
        dialog.hide();
        frame.setEnabled(false);
        QTest::qWait(200);
        QVERIFY(autosave.fileOf(doc).isEmpty());
        frame.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(!autosave.fileOf(doc).isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(descriptionIn(autosave.fileOf(doc)), std::string("by the timer"),
                                  5000);
    }

    void recoveredDocumentsOpenUnderTheirOriginalNames() {
        KTestUi ui;
        const QString path = leaveCrashedRun();
        QVERIFY(!path.isEmpty());

        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        KAutosave autosave(frame.documents(), root());
        std::vector<KAutosave::Recovered> found = autosave.findRecovered();
        QCOMPARE(found.size(), size_t(2));
        QCOMPARE(autosave.openRecovered(found), 2);
        // They open after the new document the frame started with.
        const std::vector<CPexaDoc*> docs = frame.documents().documents();
        QCOMPARE(docs.size(), size_t(3));
        CPexaDoc* saved = docs[1]->pathName().empty() ? docs[2] : docs[1];
        CPexaDoc* untitled = saved == docs[1] ? docs[2] : docs[1];
        // Opened as modified, under the name it had: Save writes the original file.
        QCOMPARE(saved->description, std::string("edited"));
        QVERIFY(saved->isModified());
        QCOMPARE(frame.documents().title(saved), QStringLiteral("crashed é.qrz"));
        QCOMPARE(descriptionIn(path), std::string("as saved"));
        QVERIFY(frame.documents().saveDocument(saved));
        QCOMPARE(descriptionIn(path), std::string("edited"));
        // An untitled document stays untitled.
        QCOMPARE(untitled->description, std::string("never saved"));
        QVERIFY(untitled->pathName().empty() && untitled->isModified());
        QVERIFY(frame.documents().title(untitled).startsWith(QStringLiteral("Quorl")));
        // The crashed run's files are gone; the opened documents are this run's now.
        QVERIFY(!QFileInfo::exists(QDir(root()).filePath("1-1")));
        QVERIFY(!autosave.fileOf(untitled).isEmpty());
        QVERIFY(autosave.findRecovered().empty());
    }

    void theOfferCanOpenDiscardOrWait() {
        KTestUi ui;
        QVERIFY(!leaveCrashedRun().isEmpty());
        // The frame's own autosave uses the per-user data folder: the files go there.
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        const QString dataRoot = KAutosave::defaultRoot();
        QDir(dataRoot).removeRecursively();
        QDir().mkpath(dataRoot);
        copyAsCrashed(QDir(root()).filePath("1-1"), dataRoot, QStringLiteral("1-1"));

        // Later: nothing changes, the same documents are offered at the next start.
        QStringList rows;
        {
            KDialogScript later([&rows](QDialog& d) {
                auto& dialog = dynamic_cast<KRecoveryDlg&>(d);
                for (int i = 0; i < dialog.list()->count(); ++i) {
                    rows << dialog.list()->item(i)->text();
                }
                return int(QDialog::Rejected);
            });
            QCOMPARE(frame.offerRecovery(), 0);
        }
        QCOMPARE(rows.size(), 2);
        QVERIFY2(rows.filter(QStringLiteral("crashed é.qrz - ")).size() == 1,
                 qPrintable(rows.join('\n')));
        QVERIFY(rows.filter(QStringLiteral("never saved")).size() == 1);
        QCOMPARE(frame.documents().documents().size(), size_t(1));

        // Open with one row unchecked: the checked one opens, the other is discarded.
        {
            KDialogScript open([](QDialog& d) {
                dynamic_cast<KRecoveryDlg&>(d).setChecked(0, false);
                return int(QDialog::Accepted);
            });
            QCOMPARE(frame.offerRecovery(), 1);
        }
        QCOMPARE(frame.documents().documents().size(), size_t(2));
        QVERIFY(!QFileInfo::exists(QDir(dataRoot).filePath("1-1")));
        QCOMPARE(frame.offerRecovery(), 0); // nothing left to offer: no dialog

        // Discard removes everything without opening.
        copyAsCrashed(QDir(root()).filePath("1-1"), dataRoot, QStringLiteral("2-2"));
        {
            KDialogScript discard([](QDialog&) { return KRecoveryDlg::Discard; });
            QCOMPARE(frame.offerRecovery(), 0);
        }
        QCOMPARE(frame.documents().documents().size(), size_t(2));
        QVERIFY(!QFileInfo::exists(QDir(dataRoot).filePath("2-2")));
    }

    void anEndedRunWithNothingToOfferIsClearedAway() {
        const QString folder = QDir(root()).filePath(QStringLiteral("5-5"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(kWriteBytes(QDir(folder).filePath("session.lock"), "999999999\nquorl\n\n"));
        CMainFrame frame;
        KAutosave autosave(frame.documents(), root());
        QVERIFY(autosave.findRecovered().empty());
        QVERIFY(!QFileInfo::exists(folder));
    }

    void filesOfARunningProgramAreNotOffered() {
        CMainFrame running;
        KAutosave alive(running.documents(), root());
        CPexaDoc* doc = running.documents().newDocument();
        doc->setModified(true);
        alive.saveNow();
        QVERIFY(!alive.fileOf(doc).isEmpty());

        CMainFrame other;
        KAutosave starting(other.documents(), root());
        QVERIFY(starting.findRecovered().empty());
        starting.discardRecovered();
        QVERIFY(QFileInfo::exists(alive.fileOf(doc)));
    }

    void hostileRecoveryFilesAreRefusedCleanly() {
        KTestUi ui;
        const QString folder = QDir(root()).filePath(QStringLiteral("9-9"));
        QVERIFY(QDir().mkpath(folder));
        auto put = [&folder](const QString& name, const QByteArray& bytes) {
            return kWriteBytes(QDir(folder).filePath(name), bytes);
        };
        const QByteArray info =
            QJsonDocument(QJsonObject{{"path", "relative/x.qrz"}, {"title", "damaged"}}).toJson();
        // A damaged document, a description that is not JSON, one with the wrong types and
        // one whose document is missing.
        QVERIFY(put("a.json", info) && put("a.qrz", QByteArray("QRLM\x0a\xff\xff\xff\xff", 9)));
        QVERIFY(put("b.json", "{not json") && put("b.qrz", "x"));
        QVERIFY(put("c.json", R"({"path": 3, "title": []})") && put("c.qrz", "x"));
        QVERIFY(put("d.json", info));
        QVERIFY(put("notes.txt", "not ours"));

        CMainFrame frame;
        KAutosave autosave(frame.documents(), root());
        const auto found = autosave.findRecovered();
        QCOMPARE(found.size(), size_t(1));
        // A relative path is not taken as the document's own.
        QVERIFY(found[0].originalPath.isEmpty());
        QCOMPARE(autosave.openRecovered(found), 0);
        QVERIFY(frame.documents().documents().empty());
        // Said in the words of any damaged document, named by its title.
        QVERIFY(!ui.messages().empty());
        QVERIFY(QString::fromStdString(ui.messages().back())
                    .startsWith(QStringLiteral("Cannot open the document \"damaged\"")));
        // The recovery files went with the offer; the folder stays for what is not ours.
        QCOMPARE(filesUnder(folder), QStringList({"notes.txt"}));
    }
};

QTEST_MAIN(TestAutosave)
#include "tst_autosave.moc"
