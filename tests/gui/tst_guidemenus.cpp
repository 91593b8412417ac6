// The user guide against the main window: every menu path the guide names ("File > Open...",
// "Object > Modify Items > Anatomy...") is a command of the main window's menus, and the
// keys the guide gives for a command are the command's shortcut.

#include "KGuiTestKit.h"

namespace {

// A command's text as the user reads it: no mnemonic mark, no shortcut after a tab.
QString shownText(const QAction* a) {
    QString text = a->text().section(QLatin1Char('\t'), 0, 0);
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

QString guideText() {
    return QString::fromUtf8(kSlurp(QStringLiteral(QUORL_SOURCE_DIR "/docs/guide.md")));
}

// The command of menu whose text starts rest, the longest such text, followed by no
// letter or digit; null when there is none.
QAction* commandAtStart(QMenu* menu, const QString& rest) {
    QAction* best = nullptr;
    qsizetype bestLength = 0;
    for (QAction* a : menu->actions()) {
        const QString text = shownText(a);
        if (!a->isSeparator() && !text.isEmpty() && rest.startsWith(text) &&
            text.size() > bestLength &&
            (rest.size() == text.size() || !rest.at(text.size()).isLetterOrNumber())) {
            best = a;
            bestLength = text.size();
        }
    }
    return best;
}

struct Resolved {
    QAction* command = nullptr;
    qsizetype length = 0; // characters of the path, from its first command on
};

// Follows "A > B > C" from menu through its submenus for as long as the text goes on
// with " > "; the last command, or none when a part names no command of its menu.
Resolved followPath(QMenu* menu, const QString& text) {
    static const QString separator = QStringLiteral(" > ");
    Resolved found;
    QString rest = text;
    while (menu) {
        QAction* a = commandAtStart(menu, rest);
        if (!a) {
            return {};
        }
        found.command = a;
        const qsizetype used = shownText(a).size();
        found.length += used;
        rest = rest.mid(used);
        if (!a->menu() || !rest.startsWith(separator)) {
            break;
        }
        menu = a->menu();
        rest = rest.mid(separator.size());
        found.length += separator.size();
    }
    return found;
}

} // namespace

class TestGuideMenus : public QObject {
    Q_OBJECT

    // The main window's menus by their shown names, filled as a user opening them sees
    // them (the Edit, Object and Window menus bring themselves up to date on opening).
    QHash<QString, QMenu*> topMenus(CMainFrame& frame) {
        QHash<QString, QMenu*> menus;
        for (QAction* a : frame.menuBar()->actions()) {
            if (QMenu* m = a->menu()) {
                emit m->aboutToShow();
                menus.insert(shownText(a), m);
            }
        }
        return menus;
    }

private slots:
    void initTestCase() { kUseTestSettings(); }

    void everyMenuPathOfTheGuideIsACommand() {
        // Prose as read: no bold marks, every run of white space (line breaks too) one space.
        const QString guide = guideText().remove(QStringLiteral("**")).simplified();
        QVERIFY(!guide.isEmpty());
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        const QHash<QString, QMenu*> menus = topMenus(frame);
        QVERIFY(menus.contains(QStringLiteral("File")));

        QStringList names = menus.keys();
        for (QString& n : names) {
            n = QRegularExpression::escape(n);
        }
        const QRegularExpression start(QStringLiteral("\\b(%1) > ").arg(names.join('|')));
        const QRegularExpression keys(QStringLiteral("^ \\((Ctrl\\+[A-Z])\\)"));
        QStringList unknown;
        QStringList wrongKeys;
        int paths = 0;
        for (auto it = start.globalMatch(guide); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString rest = guide.mid(m.capturedEnd());
            const Resolved found = followPath(menus.value(m.captured(1)), rest);
            if (!found.command) {
                unknown << m.captured(0) + rest.left(40);
                continue;
            }
            ++paths;
            // "File > New (Ctrl+N)": the keys in brackets right after the path.
            const QRegularExpressionMatch k = keys.match(rest.mid(found.length));
            if (k.hasMatch() && found.command->shortcut() !=
                                    QKeySequence(k.captured(1), QKeySequence::PortableText)) {
                wrongKeys << m.captured(0) + rest.left(found.length) + " " + k.captured(1) +
                                 " is " + found.command->shortcut().toString();
            }
        }
        QVERIFY2(unknown.isEmpty(), qPrintable(unknown.join(QStringLiteral("\n"))));
        QVERIFY2(wrongKeys.isEmpty(), qPrintable(wrongKeys.join(QStringLiteral("\n"))));
        // The guide names dozens of commands; a parse that finds few is broken.
        QVERIFY(paths > 30);
    }

    void theShortcutTableGivesEachCommandsKeys() {
        const QString guide = guideText();
        const qsizetype from = guide.indexOf(QStringLiteral("\n## Menu shortcuts"));
        QVERIFY(from >= 0);
        const qsizetype to = guide.indexOf(QStringLiteral("\n## "), from + 1);
        const QStringList lines = guide.mid(from, to < 0 ? -1 : to - from).split('\n');
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        const QHash<QString, QMenu*> menus = topMenus(frame);

        // "| Ctrl+X, Ctrl+C | Edit > Cut Item, Copy Item (in a UV map) |"
        const QRegularExpression row(
            QStringLiteral("^\\| ([^|]+) \\| (\\w+) > ([^|(]+?)\\s*(\\([^|]*\\))? \\|$"));
        int checked = 0;
        for (const QString& line : lines) {
            const QRegularExpressionMatch m = row.match(line);
            const QStringList keys = m.captured(1).split(QStringLiteral(", "));
            const QStringList commands = m.captured(3).split(QStringLiteral(", "));
            QMenu* menu = menus.value(m.captured(2));
            QVERIFY2(!m.hasMatch() || (menu && keys.size() == commands.size()), qPrintable(line));
            for (qsizetype i = 0; m.hasMatch() && i < keys.size(); ++i) {
                const Resolved found = followPath(menu, commands[i]);
                QVERIFY2(found.command && found.length == commands[i].size(), qPrintable(line));
                QCOMPARE(found.command->shortcut().toString(QKeySequence::PortableText), keys[i]);
                ++checked;
            }
        }
        QVERIFY(checked >= 7);
    }
};

QTEST_MAIN(TestGuideMenus)
#include "tst_guidemenus.moc"
