// The five compile commands: their prompts, the command lines they start with
// the real launcher, and the error box when nothing could be started.

#include "fakes.h"
#include "test_files.h"

#include "compile/compile_commands.h"
#include "compile/process_launcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Command = void (CompileCommands::*)();
Q_DECLARE_METATYPE(Command)

namespace {

// Each batch file records its own name and its arguments, one a line.
const QByteArray recorder = "for a in \"$(basename \"$0\")\" \"$@\"; do printf '%s\\n' \"$a\"; done"
                            " > record.tmp && mv record.tmp record.txt\n";

} // namespace

class TestCompileCommands : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_originalDir;

private slots:
    void initTestCase()
    {
        for (const char *name : {"asm.bat", "mirage.bat", "tse.bat"}) {
            QFile script(m_work.filePath(name));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(recorder);
        }
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        m_originalDir = QDir::currentPath();
    }

    void cleanup() { QDir::setCurrent(m_originalDir); }

    void startsBuild_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("input");      // prompt|title of the input box
        QTest::addColumn<QByteArray>("recorded"); // script name and arguments

        QTest::newRow("compile") << &CompileCommands::compile << "hello"
                                 << "name of file to compile?|Compile Source" << QByteArray("asm.bat\nhello\n");
        QTest::newRow("compile_ion") << &CompileCommands::compile_ion << "hello"
                                     << "Enter Name of ION Source File|ION Compile"
                                     << QByteArray("asm.bat\nhello\n");
        QTest::newRow("mirage") << &CompileCommands::mirage << "hello"
                                << "Enter Name of Mirage Source File|Mirage Compile"
                                << QByteArray("mirage.bat\nhello\n");
        QTest::newRow("tses") << &CompileCommands::tses << "hello"
                              << "Enter Name of TSE Source File|TSE Compile" << QByteArray("tse.bat\nhello\n");
        QTest::newRow("compile_options") << &CompileCommands::compile_options << "tse.bat prog -x"
                                         << "Enter Custom Arguments to Compile Program|Custom Compile"
                                         << QByteArray("tse.bat\nprog\n-x\n");
        // Cancel and an empty answer are the same: the batch file still starts.
        QTest::newRow("compile, cancelled") << &CompileCommands::compile << ""
                                            << "name of file to compile?|Compile Source" << QByteArray("asm.bat\n");
        QTest::newRow("mirage, cancelled") << &CompileCommands::mirage << ""
                                           << "Enter Name of Mirage Source File|Mirage Compile"
                                           << QByteArray("mirage.bat\n");
        QTest::newRow("answer used as typed") << &CompileCommands::mirage << "a b \"c d\""
                                              << "Enter Name of Mirage Source File|Mirage Compile"
                                              << QByteArray("mirage.bat\na\nb\nc d\n");
    }

    void startsBuild()
    {
        QFETCH(Command, command);
        QFETCH(QString, typed);
        QFETCH(QString, input);
        QFETCH(QByteArray, recorded);
        QVERIFY(QDir::setCurrent(m_work.path()));
        QFile::remove("record.txt");

        FakePrompts prompts;
        prompts.typed = typed;
        ProcessLauncher launcher;
        CompileCommands commands(prompts, launcher);
        (commands.*command)();

        QCOMPARE(prompts.inputs, QStringList{input});
        QVERIFY(prompts.boxes.isEmpty());
        QTRY_VERIFY(QFile::exists(m_work.filePath("record.txt")));
        QCOMPARE(readAll(m_work.filePath("record.txt")), recorded);
    }

    void failureBox_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("reason");

        const QString notFound = "not found in the working directory or on PATH";
        QTest::newRow("compile") << &CompileCommands::compile << "x" << "Problem" << "asm.bat: " + notFound;
        QTest::newRow("compile_ion") << &CompileCommands::compile_ion << "x" << "" << "asm.bat: " + notFound;
        QTest::newRow("mirage") << &CompileCommands::mirage << "x" << "" << "mirage.bat: " + notFound;
        QTest::newRow("tses") << &CompileCommands::tses << "x" << "" << "tse.bat: " + notFound;
        QTest::newRow("custom, empty") << &CompileCommands::compile_options << "" << "" << "empty command line";
        QTest::newRow("custom, missing") << &CompileCommands::compile_options << "nothing-here x" << ""
                                         << "nothing-here: " + notFound;
    }

    // In a folder without build scripts every launch fails, with one box each.
    void failureBox()
    {
        QFETCH(Command, command);
        QFETCH(QString, typed);
        QFETCH(QString, title);
        QFETCH(QString, reason);
        QTemporaryDir empty;
        QVERIFY(QDir::setCurrent(empty.path()));

        FakePrompts prompts;
        prompts.typed = typed;
        ProcessLauncher launcher;
        CompileCommands commands(prompts, launcher);
        (commands.*command)();

        QCOMPARE(prompts.boxes.size(), 1);
        const ShownBox box = prompts.boxes.first();
        QCOMPARE(box.prompt, QString("We got a problem!"));
        QCOMPARE(box.buttons, MsgBox::Critical);
        QCOMPARE(box.title, title);
        QVERIFY2(box.details.contains("Reason: " + reason), qPrintable(box.details));
        QVERIFY(box.details.contains("Working directory: " + QDir::currentPath()));
    }
};

QTEST_GUILESS_MAIN(TestCompileCommands)
#include "tst_compile_commands.moc"
