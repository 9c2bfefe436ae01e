// How a typed command line becomes a process: splitting, lookup, and the real
// launcher starting real scripts in a temporary working directory.

#include "test_files.h"

#include "compile/command_line.h"
#include "compile/process_launcher.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// A script that writes its working directory and each argument, one a line.
const QByteArray recorder = "#!/bin/sh\n"
                            "out=\"$(dirname \"$0\")/record.txt\"\n"
                            "pwd > \"$out.tmp\"\n"
                            "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$out.tmp\"; done\n"
                            "mv \"$out.tmp\" \"$out\"\n";

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;  // the working directory
    QTemporaryDir m_bin;   // a folder on the search path
    QString m_originalDir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid() && m_bin.isValid());
        QVERIFY(writeAll(m_work.filePath("asm.bat"), recorder, false));
        QVERIFY(writeAll(m_work.filePath("run.sh"), recorder, true));
        QVERIFY(writeAll(m_work.filePath("notes.txt"), "text", false));
        QVERIFY(writeAll(m_work.filePath("quiet.bat"), "exit 0\n", false));
        QVERIFY(QDir(m_work.path()).mkdir("folder.bat"));
        QVERIFY(writeAll(m_bin.filePath("tool"), recorder, true));
        QVERIFY(writeAll(m_bin.filePath("asm.bat"), recorder, true));
        QVERIFY(writeAll(m_bin.filePath("plain"), "text", false));
        QVERIFY(writeAll(m_bin.filePath("MIXED.Cmd"), recorder, false));
        // The builds of these tests run without a console window.
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        m_originalDir = QDir::currentPath();
    }

    void cleanup() { QDir::setCurrent(m_originalDir); }

    void plan_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("program");   // "{wd}/" and "{bin}/" stand for the two folders
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");

        const QStringList none;
        QTest::newRow("empty") << "" << "" << none << "empty command line";
        QTest::newRow("blanks") << "   " << "" << none << "empty command line";
        QTest::newRow("empty quotes") << "\"\"" << "" << none << "empty command line";
        QTest::newRow("batch file runs with sh") << "asm.bat hello" << "/bin/sh"
                                                 << QStringList{"{wd}/asm.bat", "hello"} << "";
        QTest::newRow("working directory before PATH") << "asm.bat" << "/bin/sh"
                                                       << QStringList{"{wd}/asm.bat"} << "";
        QTest::newRow("executable runs directly") << "run.sh a b" << "{wd}/run.sh" << QStringList{"a", "b"} << "";
        QTest::newRow("found on PATH") << "tool x" << "{bin}/tool" << QStringList{"x"} << "";
        QTest::newRow("script suffix in any case") << "MIXED.Cmd" << "/bin/sh"
                                                   << QStringList{"{bin}/MIXED.Cmd"} << "";
        QTest::newRow("relative path") << "./run.sh" << "{wd}/run.sh" << none << "";
        QTest::newRow("quotes keep spaces") << "asm.bat \"my prog\" 'x'" << "/bin/sh"
                                            << QStringList{"{wd}/asm.bat", "my prog", "'x'"} << "";
        QTest::newRow("no shell: semicolon") << "asm.bat hello; touch x" << "/bin/sh"
                                             << QStringList{"{wd}/asm.bat", "hello;", "touch", "x"} << "";
        QTest::newRow("no shell: substitution") << "$(touch x)" << "" << none
                                                << "$(touch: not found in the working directory or on PATH";
        QTest::newRow("unbalanced quote") << "asm.bat \"open ended" << "/bin/sh"
                                          << QStringList{"{wd}/asm.bat", "open ended"} << "";
        QTest::newRow("missing") << "missing.bat x" << "" << none
                                 << "missing.bat: not found in the working directory or on PATH";
        QTest::newRow("missing path") << "./missing.bat" << "" << none << "./missing.bat: not found";
        QTest::newRow("not executable, not a script") << "notes.txt" << "" << none
                                                      << "notes.txt: permission denied";
        QTest::newRow("non-executable on PATH is passed over") << "plain" << "" << none
                                                               << "plain: not found in the working directory or on PATH";
        QTest::newRow("directory") << "folder.bat" << "" << none << "folder.bat: is a directory";
    }

    void plan()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        auto real = [this](QString s) {
            return s.replace("{wd}/", m_work.path() + '/').replace("{bin}/", m_bin.path() + '/');
        };

        const LaunchPlan plan = CommandLine::plan(commandLine, m_work.path(), "/nonexistent:" + m_bin.path());
        QCOMPARE(plan.error, error);
        if (!error.isEmpty())
            return;
        QCOMPARE(plan.program, real(program));
        QStringList expected;
        for (const QString &argument : arguments)
            expected << real(argument);
        QCOMPARE(plan.arguments, expected);
    }

    void findTerminal()
    {
        QTemporaryDir bin;
        QCOMPARE(CommandLine::findTerminal(bin.path(), true), QString());
        QVERIFY(writeAll(bin.filePath("xterm"), "#!/bin/sh\n", true));
        QCOMPARE(CommandLine::findTerminal(bin.path(), true), bin.filePath("xterm"));
        QCOMPARE(CommandLine::findTerminal(bin.path(), false), QString());
        QVERIFY(writeAll(bin.filePath("x-terminal-emulator"), "#!/bin/sh\n", true));
        QCOMPARE(CommandLine::findTerminal(bin.path(), true), bin.filePath("x-terminal-emulator"));
    }

    // The console keeps the build's words intact and shows its exit status.
    void consoleWrapper()
    {
        const QString script = m_work.filePath("fail.sh");
        QVERIFY(writeAll(script, recorder + "exit 3\n", true));
        QFile::remove(m_work.filePath("record.txt"));
        const LaunchPlan build{script, {"two words", "$(touch pwned)", "a;b", "*"}, {}};

        const LaunchPlan console = CommandLine::inConsole(build, "/usr/bin/xterm", "Tarnell: fail.sh");
        QCOMPARE(console.program, QString("/usr/bin/xterm"));
        const qsizetype e = console.arguments.indexOf("-e");
        QVERIFY(e > 0);
        QCOMPARE(console.arguments.mid(0, e), (QStringList{"-iconic", "-T", "Tarnell: fail.sh"}));

        // Run what the terminal would run, and press Enter for the user.
        QProcess shell;
        shell.setWorkingDirectory(m_work.path());
        shell.start(console.arguments.at(e + 1), console.arguments.mid(e + 2));
        QVERIFY(shell.waitForStarted());
        shell.write("\n");
        shell.closeWriteChannel();
        QVERIFY(shell.waitForFinished());
        QVERIFY(shell.readAllStandardOutput().contains("exit status 3"));
        QCOMPARE(readAll(m_work.filePath("record.txt")),
                 m_work.path().toUtf8() + "\ntwo words\n$(touch pwned)\na;b\n*\n");
        QVERIFY(!QFile::exists(m_work.filePath("pwned")));
    }

    void launcherStartsRealScript_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QByteArray>("recorded");
        QTest::newRow("batch file") << "asm.bat hello" << QByteArray("hello\n");
        QTest::newRow("nothing after the name") << "asm.bat " << QByteArray();
        QTest::newRow("quoted and hostile words")
            << "run.sh \"my prog\" $(touch pwned) `touch pwned` ;touch pwned"
            << QByteArray("my prog\n$(touch\npwned)\n`touch\npwned`\n;touch\npwned\n");
    }

    void launcherStartsRealScript()
    {
        QFETCH(QString, commandLine);
        QFETCH(QByteArray, recorded);
        const QString record = m_work.filePath("record.txt");
        QFile::remove(record);
        QVERIFY(QDir::setCurrent(m_work.path()));

        ProcessLauncher launcher;
        QString error;
        QVERIFY2(launcher.start(commandLine, error), qPrintable(error));
        QTRY_VERIFY(QFile::exists(record));
        QCOMPARE(readAll(record), m_work.path().toUtf8() + '\n' + recorded);
        QVERIFY(!QFile::exists(m_work.filePath("pwned")));
    }

    // The command returns while the build still runs: the build waits on a
    // FIFO that only this test writes to, after start() has come back.
    void launcherDoesNotWait()
    {
        const QString fifo = m_work.filePath("go");
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QVERIFY(writeAll(m_work.filePath("slow.sh"),
                         "#!/bin/sh\ntouch started\nread line < go\ntouch finished\n", true));
        QVERIFY(QDir::setCurrent(m_work.path()));

        ProcessLauncher launcher;
        QString error;
        QVERIFY2(launcher.start("slow.sh", error), qPrintable(error));
        QTRY_VERIFY(QFile::exists(m_work.filePath("started")));
        QVERIFY(!QFile::exists(m_work.filePath("finished")));

        QFile go(fifo);
        QVERIFY(go.open(QIODevice::WriteOnly));
        go.write("\n");
        go.close();
        QTRY_VERIFY(QFile::exists(m_work.filePath("finished")));
    }

    void launcherFailures_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << "" << "empty command line";
        QTest::newRow("missing") << "nothere.bat x" << "nothere.bat: not found in the working directory or on PATH";
        QTest::newRow("directory") << "folder.bat" << "folder.bat: is a directory";
        QTest::newRow("plain file") << "notes.txt" << "notes.txt: permission denied";
    }

    void launcherFailures()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, error);
        QVERIFY(QDir::setCurrent(m_work.path()));
        ProcessLauncher launcher;
        QString reason;
        QVERIFY(!launcher.start(commandLine, reason));
        QCOMPARE(reason, error);
    }

    // A build gets standard input, output and error, and nothing else of the
    // editor's, not even a descriptor the editor itself inherited.
    void launchedBuildInheritsNoDescriptors()
    {
        const int inherited = ::open("/dev/null", O_RDONLY); // no O_CLOEXEC, as a careless parent would
        QVERIFY(inherited > 2);
        const QString out = m_work.filePath("fds.txt");
        ProcessLauncher launcher;
        QString error;
        QVERIFY2(launcher.start(QString(FD_LISTER) + ' ' + out, error), qPrintable(error));
        QTRY_VERIFY(QFile::exists(out));
        ::close(inherited);
        QCOMPARE(readAll(out), QByteArray("0\n1\n2\n"));
    }

    // Many builds in a row leave no zombies and no descriptors behind.
    void manyLaunchesLeaveNothingBehind()
    {
        QVERIFY(QDir::setCurrent(m_work.path()));
        QVERIFY(writeAll(m_work.filePath("quick.sh"), "#!/bin/sh\nexit 0\n", true));
        const auto openDescriptors = [] { return QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size(); };
        const qsizetype before = openDescriptors();
        ProcessLauncher launcher;
        for (int i = 0; i < 200; ++i) {
            QString error;
            QVERIFY2(launcher.start("quick.sh", error), qPrintable(error));
        }
        QCOMPARE(openDescriptors(), before);
        // Detached builds are not our children: none can linger as a zombie.
        const auto zombies = [] {
            int count = 0;
            const QString me = QString::number(getpid());
            for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
                QFile stat("/proc/" + pid + "/stat");
                if (!stat.open(QIODevice::ReadOnly))
                    continue;
                const QList<QByteArray> fields = stat.readAll().split(')').value(1).split(' ');
                count += fields.value(1) == "Z" && fields.value(2) == me.toLatin1();
            }
            return count;
        };
        QTRY_COMPARE(zombies(), 0);
    }

    void hostileCommandLines_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("100,000 characters") << QString(100000, 'x');
        QTest::newRow("100,000 characters of arguments") << "quiet.bat " + QString(100000, 'y');
        QTest::newRow("unbalanced quotes") << "quiet.bat \"a 'b";
        QTest::newRow("only a quote") << "\"";
        QTest::newRow("control characters") << QString::fromUtf8("quiet.bat \x01\x7f\t\xe2\x82\xac");
    }

    // Either the build starts or the reason comes back; nothing crashes.
    void hostileCommandLines()
    {
        QFETCH(QString, commandLine);
        QVERIFY(QDir::setCurrent(m_work.path()));
        ProcessLauncher launcher;
        QString error;
        const bool started = launcher.start(commandLine, error);
        QVERIFY(started != !error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
