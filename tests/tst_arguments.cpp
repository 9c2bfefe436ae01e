#include "app/arguments.h"
#include "app/commands.h"
#include "fakes.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// The command line as the program reads it, and the files it names loaded
// through the commands.
class TestArguments : public QObject
{
    Q_OBJECT

private slots:
    // Started in {}: "help", "version" or "fail" with the first line printed;
    // or the files loaded, as Load Project loads one: the boxes, the text and
    // the working folder Save's dialog gets, then after "//" what it asks,
    // which is nothing when the file was loaded.
    void start_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("seen");
        const QString asks = "confirm|Save Source File|\"{}/sub/a.z80\" already exists. Replace it?|No",
                      many = "error|Load Source File|Tarnell opens one file at a time|It was started with %1 files; "
                             "load one with Load Project. /  / {} // " + asks,
                      unknown = "fail|tarnell: unknown option %1; see tarnell --help";
        QTest::newRow("no file") << QStringList{} << " / {} // " + asks;
        QTest::newRow("a file") << QStringList{"sub/a.z80"} << "text / {}/sub // ";
        QTest::newRow("missing") << QStringList{"sub/../sub/none.z80"} << "error|Load Source File|Could not load "
                                 "{}/sub/none.z80|No such file or directory. /  / {}/sub // " + asks;
        QTest::newRow("two") << QStringList{"sub/a.z80", "b c"} << many.arg(2);
        QTest::newRow("-- then -file") << QStringList{"--", "-file", "--", "--help"} << many.arg(3);
        QTest::newRow("Qt's options") << QStringList{"-style", "fusion", "--display", ":1", "-reverse", "-style=fusion",
                                                     "--qmljsdebugger=port:1", "sub/a.z80"} << "text / {}/sub // ";
        QTest::newRow("--help") << QStringList{"a", "--help", "-x"} << "help|Usage: tarnell [--] [FILE]";
        QTest::newRow("--version") << QStringList{"--version", "--help"} << "version|tarnell " TARNELL_VERSION;
        QTest::newRow("unknown option") << QStringList{"a", "-x", "--help"} << unknown.arg("-x");
        QTest::newRow("-display=:1") << QStringList{"-style=", "-display=:1"} << unknown.arg("-display=:1");
    }
    void start()
    {
        QFETCH(QStringList, arguments);
        const Arguments parsed = parseArguments(arguments);
        static const char *const actions[] = {"start", "help", "version", "fail"};
        if (parsed.action != Arguments::Action::Start) {
            QVERIFY(parsed.message.endsWith('\n'));
            QTEST(QString(actions[int(parsed.action)]) + '|' + parsed.message.section('\n', 0, 0), "seen");
            return;
        }
        QTemporaryDir folder;
        const QString here = QDir(folder.path()).canonicalPath();
        QVERIFY(QDir(here).mkdir("sub") && writeAll(here + "/sub/a.z80", "text"));
        FakeDesk d(here); // not the process's current directory
        d.commands.load_at_start(parsed.files);
        d.prompts.shown << QString::fromUtf8(d.editor.bytes);
        const QString loaded = d.prompts.shown.join(" / ");
        d.prompts.shown.clear();
        d.dialog.choice = here + "/sub/a.z80";
        d.commands.Save();
        QCOMPARE(d.dialog.offered, QString()); // as after a Load: nothing saved yet
        QTEST(QString(loaded + " / " + d.dialog.folder + " // " + d.prompts.shown.join(" / ")).replace(here, "{}"),
              "seen");
    }
};

QTEST_GUILESS_MAIN(TestArguments)
#include "tst_arguments.moc"
