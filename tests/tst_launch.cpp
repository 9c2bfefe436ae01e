// How a typed command line becomes a build: the words, the file that runs, the
// console that shows it, and real launches through a stand-in terminal that
// runs what it is given with no keyboard, as a console would.

#include "test_files.h"
#include "unprivileged.h"

#include "compile/command_line.h"
#include "compile/process_launcher.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Says its arguments as <[one][two]>.
static const QByteArray recorder = "#!/bin/sh\nprintf '<'; printf '[%s]' \"$@\"; printf '>'\n";
// Runs what follows -e with no keyboard, into "$0.console" once all is said.
static const QByteArray fakeTerminal = "#!/bin/sh\nwhile [ $# -gt 0 ] && [ \"$1\" != -e ]; do shift; done; shift\n"
                                       "\"$@\" < /dev/null > \"$0.$$\" 2>&1; mv \"$0.$$\" \"$0.console\"\n";

class TestLaunch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work, m_bin, m_own; // working directory, PATH, the program's own scripts
    ProcessLauncher m_launcher{qEnvironmentVariable("TARNELL_SHIPPED_SCRIPTS", TARNELL_DATA_DIR)};

private slots:
    void initTestCase()
    {
        umask(022);
        for (const QString name : {"asm.bat", "shared.bat", "planted.bat", "notes.txt", "run.sh"})
            QVERIFY(writeAll(m_work.filePath(name), recorder, name.endsWith(".sh")));
        const QByteArray shared = QFile::encodeName(m_work.filePath("shared.bat"));
        const QByteArray planted = QFile::encodeName(m_work.filePath("planted.bat"));
        // Someone else's file; only root can make one, so others plant by group.
        QVERIFY(chmod(shared, 0620) == 0 && (geteuid() ? chmod(planted, 0620) : chown(planted, 65534, 65534)) == 0);
        QVERIFY(QDir(m_work.path()).mkdir("tool") && QDir(m_work.path()).mkdir("rel"));
        QVERIFY(writeAll(m_work.filePath("rel/x.bat"), recorder, true));
        for (const QString name : {"tool", "asm.bat", "tse.bat", "notes.txt"})
            QVERIFY(writeAll(m_bin.filePath(name), recorder, !name.endsWith(".txt")));
        for (const QString name : {"asm.bat", "mirage.bat", "tse.bat", "xterm", "uxterm", "foot"})
            QVERIFY(writeAll(m_own.filePath(name), name.endsWith(".bat") ? recorder : "#!/bin/true\n", true));
        QVERIFY(writeAll(m_bin.filePath("x-terminal-emulator"), fakeTerminal, true));
        qputenv("PATH", (m_bin.path() + ":/usr/bin:/bin").toUtf8());
        qunsetenv("WAYLAND_DISPLAY");
        QVERIFY(QDir::setCurrent(m_work.path()));
    }

    void split_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("words"); // none: it fails
        QTest::newRow("empty quoted words kept") << "args a \"\" b ''" << QStringList{"args", "a", "", "b", ""};
        QTest::newRow("single quotes group") << "'a b'  c\td" << QStringList{"a b", "c", "d"};
        QTest::newRow("quotes inside quotes") << "\"it's\" 'say \"hi\"'" << QStringList{"it's", "say \"hi\""};
        QTest::newRow("quotes join a word") << "a'b'\"c\"d" << QStringList{"abcd"};
        QTest::newRow("backslash") << "a\\ b \\'c \\\\" << QStringList{"a b", "'c", "\\"};
        QTest::newRow("backslash in quotes") << "\"\\$ \\\" \\\\ \\a\" '\\'" << QStringList{"$ \" \\ \\a", "\\"};
        QTest::newRow("lone backslash at the end") << "a \\" << QStringList{"a", "\\"};
        QTest::newRow("line joined") << "ab\\\ncd \\\n e" << QStringList{"abcd", "e"};
        QTest::newRow("no expansion") << "$HOME $(x) `y` * ~ #c" << QStringList{"$HOME", "$(x)", "`y`", "*", "~", "#c"};
        QTest::newRow("unbalanced double") << "a \"b c" << QStringList{};
        QTest::newRow("unbalanced single") << "a 'b\\'c'" << QStringList{};
    }
    void split()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, words);
        QString error;
        QCOMPARE(CommandLine::split(line, &error), words);
        QCOMPARE(error.contains("unbalanced quotes"), words.isEmpty());
    }

    void plan_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("run"); // the program and its arguments, or the reason
        QTest::addColumn<QString>("setup");   // run as root in a new working folder; "": the prepared one
        QTest::addColumn<bool>("asUser");     // planned as the unprivileged user
        const auto row = [](const char *name, const QString &line, const QStringList &run, const char *setup = "",
                            bool asUser = false) { QTest::newRow(name) << line << run << QString(setup) << asUser; };
        row("working folder, .bat via sh", "asm.bat x", {"/bin/sh", "{work}/asm.bat", "x"});
        row("then PATH", "tse.bat", {"{bin}/tse.bat"});
        row("then own scripts", "mirage.bat x", {"{own}/mirage.bat", "x"});
        row("folder passed over", "tool", {"{bin}/tool"});
        row("text file passed over", "notes.txt", {"notes.txt: not found"});
        row("relative PATH entry skipped", "x.bat", {"x.bat: not found"});
        row("group may write", "shared.bat", {"was not run: others can write to it"});
        row("another user's", "planted.bat", {"in the working directory was not run"});
        row("path", "./run.sh 'a b'", {"{work}/run.sh", "a b"});
        row("path to a text file", "./notes.txt", {"./notes.txt: permission denied"});
        row("path to a shared script", "./shared.bat", {"./shared.bat was not run: others can write to it"});
        row("not found", "none.bat", {"none.bat: not found"});
        row("blank", " '' x", {"empty command line"});
        row("unbalanced", "asm.bat 'x", {"unbalanced quotes"});
        row("word past the kernel's limit", "asm.bat " + QString(131072, 'w'), {"the command line is too long"});
        row("folder open to others", "asm.bat", {"asm.bat in the working directory was not run: others can "
                                                 "write to the folder {work}"},
            "chmod 777 . && cp /bin/true asm.bat");
        row("sticky folder, the user's file", "asm.bat", {"{work}/asm.bat"},
            "chmod 1777 . && cp /bin/true asm.bat && chown 65534 asm.bat", true);
        row("closed folder, root's file", "asm.bat", {"{work}/asm.bat"}, "chmod 755 . && cp /bin/true asm.bat", true);
        row("another user's link", "asm.bat", {"belongs to another user (uid 65533)"},
            "ln -s /bin/true asm.bat && chown -h 65533 asm.bat");
        row("link into an open folder", "asm.bat", {"others can write to the folder {work}/o"},
            "mkdir -m 777 o && cp /bin/true o/p && ln -s o/p asm.bat");
    }
    void plan()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, run);
        QFETCH(QString, setup);
        QFETCH(bool, asUser);
        QTemporaryDir fresh;
        if (!setup.isEmpty() && QProcess::execute("sh", {"-ec", "cd \"$1\"; " + setup, "sh", fresh.path()}) != 0)
            QSKIP("needs root to give files to another user");
        const QString work = setup.isEmpty() ? m_work.path() : fresh.path();
        Unprivileged user(asUser);
        const LaunchPlan plan = CommandLine::plan(line, work, "rel:" + m_bin.path(), m_own.path());
        QStringList got = plan.ok() ? QStringList{plan.program} + plan.arguments : QStringList{plan.error};
        got.replaceInStrings(work, "{work}").replaceInStrings(m_bin.path(), "{bin}");
        QVERIFY2(plan.ok() ? got.replaceInStrings(m_own.path(), "{own}") == run : got[0].contains(run.value(0)),
                 qPrintable(got.join('|')));
    }

    void terminal_data()
    {
        QTest::addColumn<int>("session"); // 1: X display, 2: Wayland, 3: both
        QTest::addColumn<QString>("debian"); // what x-terminal-emulator is, if any
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("options"); // the console's first ones: a window in sight, xterm readable
        const QString xterm = "-fa Monospace -fs 11 -T ";
        QTest::newRow("X: Debian's choice") << 1 << "foot" << "x-terminal-emulator" << "-T ";
        QTest::newRow("X: Debian's xterm") << 1 << "uxterm" << "x-terminal-emulator" << xterm;
        QTest::newRow("X: else xterm") << 3 << "" << "xterm" << xterm;
        QTest::newRow("Wayland: not xterm") << 2 << "uxterm" << "" << "";
        QTest::newRow("Wayland: its own") << 2 << "foot" << "x-terminal-emulator" << "-T ";
        QTest::newRow("no display") << 0 << "foot" << "" << "";
    }
    void terminal()
    {
        QFETCH(int, session);
        QFETCH(QString, debian);
        QFETCH(QString, chosen);
        QFETCH(QString, options);
        QFile::remove(m_own.filePath("x-terminal-emulator"));
        QVERIFY(debian.isEmpty() || QFile::link(m_own.filePath(debian), m_own.filePath("x-terminal-emulator")));
        QString error;
        const QString found = CommandLine::findTerminal(m_own.path(), session & 1, session & 2, error);
        QCOMPARE(found, chosen.isEmpty() ? "" : m_own.filePath(chosen));
        QCOMPARE(error.isEmpty(), !chosen.isEmpty());
        QVERIFY(found.isEmpty() || CommandLine::inConsole({}, found).arguments.join(' ').startsWith(options));
    }

    void launch_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QString>("said"); // in the console, or the reason for not starting
        const QString w(999, 'w');
        QTest::newRow("no shell") << "run.sh \"a b\" $(x) ';y' '' *" << true << "<[a b][$(x)][;y][][*]>";
        QTest::newRow("near the argument limit") << "asm.bat" + QString(" " + w).repeated(200) << true
                                                 << "<" + QString("[" + w + "]").repeated(200) + ">";
        QTest::newRow("only fds 0-2") << "/bin/sh -c 'ls -m /proc/$$/fd; exit'" << true << "0, 1, 2\n";
        QTest::newRow("shipped script") << "mirage.bat hi" << true << "kit.\n\nBuild finished with exit status 127.";
        QTest::newRow("shared script refused") << "shared.bat" << false << "was not run";
        QTest::newRow("no display: nothing starts") << "asm.bat" << false << "no X display";
    }
    void launch()
    {
        QFETCH(QString, line);
        QFETCH(bool, starts);
        QFETCH(QString, said);
        qputenv("DISPLAY", said.contains("display") ? "" : ":1");
        const int inherited = ::open("/dev/null", O_RDONLY); // without O_CLOEXEC, as a careless parent would
        QString error;
        const bool started = m_launcher.start(line, error);
        ::close(inherited);
        QVERIFY2(started == starts && (started || error.contains(said)), qPrintable(error));
        const QString console = m_bin.filePath("x-terminal-emulator.console");
        if (started)
            QTRY_VERIFY2(readAll(console).contains(said.toUtf8()), readAll(console).left(2000).constData());
    }

    // Detached builds are not our children, so none lingers as a zombie.
    void manyLaunchesLeaveNoZombies()
    {
        qputenv("DISPLAY", ":1");
        qputenv("PATH", m_own.path().toUtf8()); // terminals that do nothing
        QString error;
        for (int i = 0; i < 100; ++i)
            QVERIFY2(m_launcher.start("/bin/true", error), qPrintable(error));
        siginfo_t zombie{}; // looked at, not reaped
        QTRY_VERIFY(waitid(P_ALL, 0, &zombie, WEXITED | WNOHANG | WNOWAIT) == -1 || zombie.si_pid == 0);
    }
};

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
