#include "app/arguments.h"
#include "app/commands.h"
#include "fakes.h"
#include "test_files.h"
#include "unprivileged.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// The command line as the program reads it, and the file it names loaded
// through the commands.
class TestArguments : public QObject
{
    Q_OBJECT

    const QString startFolder = QDir::currentPath();

private slots:
    void cleanup() { QDir::setCurrent(startFolder); }

    // What to do: "start" and the files, or "help", "version" or "fail" with
    // the first line printed.
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char *name, const QStringList &arguments, const QString &outcome) {
            QTest::newRow(name) << arguments << outcome;
        };
        const QString unknown = QStringLiteral("fail|tarnell: unknown option %1; see tarnell --help");
        row("no file", {}, "start");
        row("one", {"a.z80"}, "start|a.z80");
        row("two", {"a.z80", "b c"}, "start|a.z80|b c");
        row("--", {"--", "a"}, "start|a");
        row("-- then -file", {"--", "-file", "--", "--help"}, "start|-file|--|--help");
        row("Qt options with values",
            {"-style", "fusion", "a", "-platform", "xcb", "--display", ":1", "-qwindowtitle", "t", "-stylesheet", "s"},
            "start|a");
        row("Qt options without", {"-reverse", "-style=fusion", "--qmljsdebugger=port:1", "a"}, "start|a");
        row("--help", {"a", "--help", "-x"}, "help|Usage: tarnell [--] [FILE]");
        row("--version", {"--version", "--help"}, "version|tarnell " TARNELL_VERSION);
        row("unknown option", {"a", "-x", "--help"}, unknown.arg("-x"));
        row("a Qt option's value joined", {"-style=", "-display=:1"}, unknown.arg("-display=:1"));
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        const Arguments parsed = parseArguments(arguments);
        const QStringList said = parsed.action == Arguments::Action::Start
                                     ? parsed.files : QStringList{parsed.message.section('\n', 0, 0)};
        static const char *const actions[] = {"start", "help", "version", "fail"};
        QTEST((QStringList{actions[int(parsed.action)]} + said).join('|'), "outcome");
        QVERIFY(parsed.message.isEmpty() || parsed.message.endsWith('\n'));
    }

    // The files named at start, in sub/ of the folder started in ({}): one is
    // loaded as Load Project loads it, the working folder moves to it and Save
    // back to it asks nothing. Seen: the boxes, the text and the working
    // folder; after "//", what Save back to sub/a.z80 asks.
    void load_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("seen");
        const QString failed = "error|Load Source File|Could not load {}/sub/%1|%2. /  / {}/sub // ",
                      asks = "confirm|Save Source File|\"{}/sub/a.z80\" already exists. Replace it?|No",
                      many = "error|Load Source File|Tarnell opens one file at a time|It was started with 2 files; "
                             "load one with Load Project. /  / {} // ";
        QTest::newRow("none") << QStringList{} << " / {} // " + asks;
        QTest::newRow("good") << QStringList{"sub/a.z80"} << "text / {}/sub // ";
        QTest::newRow("missing") << QStringList{"sub/none.z80"}
                                 << failed.arg("none.z80", "No such file or directory") + asks;
        QTest::newRow("unreadable") << QStringList{"sub/locked.z80"}
                                    << failed.arg("locked.z80", "Permission denied") + asks;
        QTest::newRow("two") << QStringList{"sub/a.z80", "sub/a.z80"} << many + asks;
    }
    void load()
    {
        QFETCH(QStringList, files);
        QTemporaryDir folder;
        const QString here = QDir(folder.path()).canonicalPath(), locked = here + "/sub/locked.z80";
        QVERIFY(QDir(here).mkdir("sub") && writeAll(here + "/sub/a.z80", "text") && writeAll(locked, "")
                && ::chmod(QFile::encodeName(locked), 0) == 0 && ::chmod(QFile::encodeName(here), 0755) == 0
                && QDir::setCurrent(here));
        FakeEditor editor;
        FakeClipboard clipboard;
        FakePrompts prompts;
        FakeFileDialog dialog;
        FakeLauncher launcher;
        FakeWindows windows;
        Commands commands{Platform{editor, clipboard, prompts, dialog, launcher, windows, {}}};
        {
            Unprivileged user; // root reads any file
            commands.load_at_start(files);
        }
        const QString loaded = (prompts.shown << QString::fromUtf8(editor.bytes) << QDir::currentPath()).join(" / ");
        prompts.shown.clear();
        dialog.choice = here + "/sub/a.z80";
        commands.Save();
        QCOMPARE(dialog.offered, QString()); // as after a Load: nothing saved yet
        QTEST(QString(loaded + " // " + prompts.shown.join(" / ")).replace(here, "{}"), "seen");
    }
};

QTEST_GUILESS_MAIN(TestArguments)
#include "tst_arguments.moc"
