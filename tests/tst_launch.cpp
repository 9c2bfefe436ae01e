// How a typed command line becomes a build: the words, the file that runs and
// the rule that lets it, the console that shows it, and real launches through
// stand-in terminals that run what they are given with no keyboard, as a
// console would, and through the real ones where they are installed and there
// is an X display.

#include "test_files.h"
#include "unprivileged.h"

#include "compile/command_line.h"
#include "compile/console_terminal.h"
#include "compile/process_launcher.h"
#include "compile/trust_rule.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Says its arguments as <[one][two]>.
static const QByteArray recorder = "#!/bin/sh\nprintf '<'; printf '[%s]' \"$@\"; printf '>'\n";
// The stand-in terminals run what follows -e with no keyboard, into "$0.console"
// once all is said, then exit with the console's status (1: no Enter came).
static const QByteArray skip = "#!/bin/sh\nwhile [ $# -gt 0 ] && [ \"$1\" != -e ]; do shift; done; shift\n";
static const QByteArray run = "\"$@\" < /dev/null > \"$0.$$\" 2>&1; s=$?; mv \"$0.$$\" \"$0.console\"; exit $s";
// Says its words into a real console's file, as a stand-in would, then ends the console's terminal if it is
// the row's (known before the next row relinks x-terminal-emulator).
static const QByteArray realRecorder = "#!/bin/sh\nc=$(command -v x-terminal-emulator); e=$(readlink -f \"$c\")\n"
    "{ printf '<'; printf '[%s]' \"$@\"; printf '>'; } > \"$c.$$\"; mv \"$c.$$\" \"$c.console\"\n"
    "read -r _ _ _ t _ < /proc/$PPID/stat; [ \"$(readlink /proc/$t/exe)\" = \"$e\" ] && kill $t";

class TestLaunch : public QObject
{
    Q_OBJECT

    // Working folder (never the process's current directory), PATH, own scripts, XDG_RUNTIME_DIR.
    QTemporaryDir m_work, m_bin, m_own, m_runtime;
    const QByteArray m_display = qgetenv("DISPLAY");
    // Every row's terminal answers soon; a long wait keeps a slow machine from passing for a silent terminal.
    ProcessLauncher m_launcher{qEnvironmentVariable("TARNELL_SHIPPED_SCRIPTS", TARNELL_DATA_DIR),
                               std::chrono::minutes(1)};
    const QString m_console = m_bin.filePath("x-terminal-emulator.console"); // what a row's console said

private slots:
    void initTestCase()
    {
        umask(022);
        for (const QString name : {"asm.bat", "shared.bat", "notes.txt", "run.sh"})
            QVERIFY(writeAll(m_work.filePath(name), recorder, name.endsWith(".sh")));
        QVERIFY(chmod(QFile::encodeName(m_work.filePath("shared.bat")), 0606) == 0);
        QVERIFY(QDir(m_work.path()).mkdir("rel") && QDir(m_work.path()).mkdir("planted"));
        QVERIFY(writeAll(m_work.filePath("rel/x.bat"), recorder, true) && QFile::link("rel", m_work.filePath("sub")));
        QVERIFY(writeAll(m_work.filePath("planted/x.bat"), "#!/bin/sh\necho planted\n", true));
        for (const QString name : {"tse.bat", "xterm", "foot", "qterminal", "terminator", "myterm"})
            QVERIFY(writeAll(m_own.filePath(name), name.endsWith(".bat") ? recorder : "#!/bin/true\n", true));
        // The stand-ins run as a terminal server would, in the background from / after exiting 0; as tilix
        // would, after joining the words and splitting the line again; repointing the link sub once the console
        // is up, as another user could.
        const QMap<QString, QByteArray> bin{{"rel", recorder}, {"asm.bat", recorder}, {"tse.bat", recorder},
            {"stand-in", skip + run}, {"qterminal", skip + run},
            {"broken", "#!/bin/sh\nexit 3"}, {"server", skip + "cd / && ( " + run + " ) &"},
            {"tilix.wrapper", skip + "eval \"set -- $*\"\n" + run}, {"swapper", skip + "ln -sfn planted sub\n" + run}};
        for (auto [name, script] : bin.asKeyValueRange())
            QVERIFY(writeAll(m_bin.filePath(name), script, true));
        QVERIFY(writeAll(m_work.filePath("real.sh"), realRecorder, true));
        qputenv("PATH", (m_bin.path() + ":/usr/bin:/bin").toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:"); // no session bus that a terminal starts and leaves
        // Ours: the FIFOs' folders can be counted, and no lxterminal already running takes a real row's console.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        qunsetenv("WAYLAND_DISPLAY");
    }

    void plan_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("run");   // [the program][an argument]..., or part of the reason
        QTest::addColumn<QString>("setup"); // run as root in a new working folder; "": the prepared one
        QTest::addColumn<bool>("asUser");   // planned as the unprivileged user
        const auto row = [](const char *name, const QString &line, const QString &run, const char *setup = "",
                            bool asUser = false) { QTest::newRow(name) << line << run << QString(setup) << asUser; };
        row("working folder, .bat via sh", "asm.bat x '' ", "[/bin/sh][{work}/asm.bat][x][]");
        row("any case of .cmd via sh", "A.CMD", "[/bin/sh][{work}/A.CMD]", ": >A.CMD");
        row("then PATH, words as sh splits them", "tse.bat a \"\" b ''  'a b'\tc\n\"it's\" 'say \"hi\"' a'b'\"c\"d",
            "[{bin}/tse.bat][a][][b][][a b][c][it's][say \"hi\"][abcd]");
        row("backslashes", "tse.bat a\\ b \\'c \\\\ \"\\$ \\` \\\" \\\\ \\a\" '\\' ab\\\ncd \"e\\\nf\" \\\n g \\",
            "[{bin}/tse.bat][a b]['c][\\][$ ` \" \\ \\a][\\][abcd][ef][g][\\]");
        row("nothing expanded, '' last", "tse.bat $HOME $(x) `y` * ~ #c ''",
            "[{bin}/tse.bat][$HOME][$(x)][`y`][*][~][#c][]");
        row("folder passed over", "rel", "[{bin}/rel]");
        row("text file passed over, here and on PATH", "notes.txt", "notes.txt: not found");
        row("relative PATH entry skipped", "x.bat", "x.bat: not found");
        row("path to a text file", "./notes.txt", "./notes.txt: permission denied");
        row("an absolute path is the user's choice", m_work.filePath("shared.bat"), "[/bin/sh][{work}/shared.bat]");
        row("blank", " '' x", "empty command line");
        row("NUL", QString("asm.bat a") + QChar(0) + "b", "holds a NUL character");
        row("unbalanced double", "asm.bat \"x", "unbalanced quotes: the double quote");
        row("unbalanced single, no escape in it", "asm.bat 'b\\'c'", "unbalanced quotes: the single quote");
        row("word past the kernel's limit", "asm.bat " + QString(131072, 'w'), "the command line is too long");
        row("sticky folder", "a", "[{work}/a]", "chmod 1777 . && cp /bin/true a && chown 65534 a", true);
        row("user's private group", "a", "[{work}/a]", "[ $(id -gn) = $(id -un) ] && cp /bin/true a && chmod 775 . a");
        row("an absolute link runs what it leads to", "a x", "[{work}/o/p][x]",
            "mkdir o && cp /bin/true o/p && ln -s \"$PWD/o/p\" a");
        row("a linked folder in an open folder", "o/sub/x.bat", "others can write to the folder {work}/o",
            "mkdir -m 777 o && mkdir mine && cp /bin/true mine/x.bat && ln -s ../mine o/sub");
    }
    void plan()
    {
        QFETCH(QString, line);
        QFETCH(QString, run);
        QFETCH(QString, setup);
        QFETCH(bool, asUser);
        QTemporaryDir fresh;
        if (!setup.isEmpty() && QProcess::execute("sh", {"-ec", "cd \"$1\"; " + setup, "sh", fresh.path()}) != 0)
            QSKIP("its setup needs root, or a user with a private group");
        const QString work = QFileInfo(setup.isEmpty() ? m_work.path() : fresh.path()).canonicalFilePath();
        Unprivileged user(asUser);
        const LaunchPlan plan =
            CommandLine::plan(line, work, "rel:" + m_work.path() + ':' + m_bin.path(), m_own.path());
        QString got = plan.ok() ? "[" + (QStringList{plan.program} + plan.arguments).join("][") + "]" : plan.error;
        got.replace(work, "{work}").replace(m_bin.path(), "{bin}");
        QVERIFY2(plan.ok() ? got == run : got.contains(run), qPrintable(got));
    }

    // Made-up facts: ann (uid 1000, private group 1000) ran w/asm.bat in her home, where w leads to /srv/ann;
    // a row changes one element of that way, bob (1001) being another user. A file and a folder others can
    // write are shown on the real file system.
    void trustRule_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<QList<uint>>("set"); // its owner, group and mode
        QTest::addColumn<TrustRule::User>("user");
        QTest::addColumn<QString>("reason"); // "": it runs
        const auto row = [](const char *name, int at, QList<uint> set, const QString &reason,
                            const QString &group = "ann", const QStringList &members = {},
                            const QString &login = "ann") {
            QTest::newRow(name) << at << set << TrustRule::User{1000, login, 1000, group, members} << reason;
        };
        row("another user's file", 0, {1001, 1000, 0644}, "it belongs to another user, bob (uid 1001)");
        row("a file a shared group can write", 0, {1000, 100, 0664}, "others can write to it");
        row("another user's folder", 1, {1001, 1001, 0755}, "the folder /srv/ann belongs to another user, bob");
        row("a sticky other-writable folder", 1, {0, 0, 01777}, "");
        row("a sticky file others can write", 0, {1000, 1000, 01666}, "others can write to it");
        row("the user's private group", 0, {1000, 1000, 0664}, "");
        row("a private group that gained a member", 0, {1000, 1000, 0664}, "others can write", "ann", {"ann", "bob"});
        row("a private group that lists the user", 0, {1000, 1000, 0664}, "", "ann", {"ann"});
        row("a primary group named after another user", 0, {1000, 1000, 0664}, "others can write", "bob");
        row("a user with no name has no private group", 0, {1000, 1000, 0664}, "others can write", "", {}, "");
        row("another user's link", 2, {1001, 1001, 0777}, "the link /home/ann/w belongs to another user, bob");
        row("a link whose own folder is open", 3, {1000, 1000, 0777}, "others can write to the folder /home/ann");
    }
    void trustRule()
    {
        QFETCH(int, at);
        QFETCH(QList<uint>, set);
        QFETCH(TrustRule::User, user);
        QFETCH(QString, reason);
        QList<TrustRule::Element> way{{"/srv/ann/asm.bat", 1000, 1000, S_IFREG | 0644},
            {"/srv/ann", 1000, 1000, S_IFDIR | 0755}, {"/home/ann/w", 1000, 1000, S_IFLNK | 0777},
            {"/home/ann", 1000, 1000, S_IFDIR | 0755}, {"/", 0, 0, S_IFDIR | 0755}};
        way[at] = {way[at].path, set[0], set[1], (way[at].mode & S_IFMT) | set[2], set[0] == 1001 ? "bob" : ""};
        const QString got = TrustRule::verdict(way, user);
        QVERIFY2(reason.isEmpty() ? got.isEmpty() : got.contains(reason), qPrintable(got));
    }

    void terminal_data()
    {
        QTest::addColumn<int>("session"); // 1: X display, 2: Wayland, 3: both
        QTest::addColumn<QString>("debian"); // what x-terminal-emulator is, if any
        QTest::addColumn<QString>("console"); // the terminal, its options before the script: in sight, readable
        const QString title = " -T Tarnell: a -e", xterm = "xterm -fa Monospace -fs 11" + title;
        QTest::newRow("X: not foot, xterm") << 1 << "foot" << xterm;
        QTest::newRow("Wayland: foot") << 2 << "foot" << "x-terminal-emulator" + title;
        QTest::newRow("X: else xterm") << 3 << "" << xterm;
        QTest::newRow("Wayland: not xterm") << 2 << "xterm" << "";
        QTest::newRow("X: qterminal, no title") << 1 << "qterminal" << "x-terminal-emulator -e";
        QTest::newRow("X: terminator's -x") << 1 << "terminator" << "x-terminal-emulator -T Tarnell: a -x";
        QTest::newRow("Wayland: others as xterm") << 2 << "myterm" << "x-terminal-emulator" + title;
    }
    void terminal()
    {
        QFETCH(int, session);
        QFETCH(QString, debian);
        QFETCH(QString, console);
        QFile::remove(m_own.filePath("x-terminal-emulator"));
        QVERIFY(debian.isEmpty() || QFile::link(m_own.filePath(debian), m_own.filePath("x-terminal-emulator")));
        QString error;
        const QString found = ConsoleTerminal::find(m_own.path(), session & 1, session & 2, error);
        QCOMPARE(error.isEmpty(), !found.isEmpty());
        const QString words = ConsoleTerminal::inConsole({"/p", {}, {}, "a"}, found, "/w", "").arguments.join(' ');
        QCOMPARE(found.isEmpty() ? "" : QFileInfo(found).fileName() + ' ' + words.section(" /bin/sh", 0, 0), console);
    }

    void launch_data()
    {
        QTest::addColumn<QString>("terminal"); // x-terminal-emulator: a stand-in of ours, or a real one
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("said"); // in the console, or the reason for not starting
        const auto row = [](const char *name, const char *terminal, const QString &line, const QString &said) {
            QTest::newRow(name) << terminal << line << said;
        };
        const QString w(999, 'w'), words = QString(" " + w).repeated(200);
        row("no shell, near the argument limit", "stand-in", "run.sh \"a b\" $(x) ';y' '' *" + words,
            "<[a b][$(x)][;y][][*]" + QString("[" + w + "]").repeated(200) + ">");
        row("only fds 0-2", "stand-in", "/bin/sh -c 'ls -m /proc/$$/fd; exit'", "0, 1, 2\n");
        row("shipped script", "stand-in", "mirage.bat hi", "kit.\n\nBuild finished with exit status 127.");
        row("shared script refused", "stand-in", "shared.bat", "was not run: others can write to it");
        row("a link repointed once checked", "swapper", "sub/x.bat A", "<[A]>");
        row("no display: nothing starts", "stand-in", "asm.bat", "no X display");
        row("terminal fails first", "broken", "asm.bat", "broken exited with status 3 before the console opened");
        row("terminal server, in the working folder", "server", "/bin/pwd", m_work.path() + "\n");
        row("qterminal: no $ or \\", "qterminal", "run.sh '$HOME' 'a\\b' '\\0044' '$'", "<[$HOME][a\\b][\\0044][$]>");
        row("tilix: words in one string", "tilix.wrapper", "run.sh \"a  b\" \"it's\" '' '\"q\"' '\\' '$HOME'",
            "<[a  b][it's][][\"q\"][\\][$HOME]>");
        row("tilix: one string too long", "tilix.wrapper", "asm.bat" + words, "too long for the terminal tilix");
        for (const char *real : {"/usr/bin/xterm", "/usr/bin/qterminal", "/usr/bin/lxterminal"})
            row(real, real, "real.sh 'a  b' \"it's\" '$HOME' '\"q\"' '' \\\\ '*'",
                "<[a  b][it's][$HOME][\"q\"][][\\][*]>");
    }
    void launch()
    {
        QFETCH(QString, terminal);
        QFETCH(QString, line);
        QFETCH(QString, said);
        const bool real = terminal.startsWith('/');
        if (real && (m_display.isEmpty() || !QFileInfo(terminal).isExecutable()))
            QSKIP(qPrintable(m_display.isEmpty() ? "needs an X display (xvfb-run)" : terminal + " is not installed"));
        QFile::remove(m_bin.filePath("x-terminal-emulator"));
        QVERIFY(QFile::link(real ? terminal : m_bin.filePath(terminal), m_bin.filePath("x-terminal-emulator")));
        qputenv("DISPLAY", said.contains("display") ? "" : real ? m_display : ":1");
        QFile::remove(m_console);
        const int inherited = ::open("/dev/null", O_RDONLY); // without O_CLOEXEC, as a careless parent would
        // A real terminal, and the bus or server it may start, outlive the row:
        // they must not hold the test's output open, or ctest waits for them.
        const int output = ::dup(1), errors = ::dup(2), nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (real) {
            ::dup2(nowhere, 1);
            ::dup2(nowhere, 2);
        }
        QString error;
        const bool started = m_launcher.start(line, m_work.path(), error);
        ::dup2(output, 1);
        ::dup2(errors, 2);
        for (const int fd : {output, errors, nowhere, inherited})
            ::close(fd);
        QVERIFY2(started || error.contains(said), qPrintable(error)); // a row that should not start fails below
        if (!started)
            return;
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_console), 30000);
        const QByteArray got = readAll(m_console);
        QVERIFY2(got.contains(said.toUtf8()), got.left(2000).constData());
    }

    // Every launch was detached: none of them lingers as our zombie, and the FIFOs' folders are gone.
    void cleanupTestCase()
    {
        siginfo_t zombie{}; // looked at, not reaped
        QTRY_VERIFY(waitid(P_ALL, 0, &zombie, WEXITED | WNOHANG | WNOWAIT) == -1 || zombie.si_pid == 0);
        QCOMPARE(QDir(m_runtime.path()).entryList({"tarnell-*"}, QDir::AllEntries | QDir::System), {});
    }
};

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
