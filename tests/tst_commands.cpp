#include "app/commands.h"
#include "fakes.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

// The commands as a user drives them, through fakes of everything the
// platform supplies: what each shows, starts, reads and writes.
class TestCommands : public QObject
{
    Q_OBJECT

    // Everything the commands reach, made afresh for each test.
    struct Desk
    {
        FakeEditor editor;
        FakeClipboard clipboard;
        FakePrompts prompts;
        FakeFileDialog dialog;
        FakeLauncher launcher;
        FakeWindows windows;
        Commands commands{Platform{editor, clipboard, prompts, dialog, launcher, windows, "/own/copies"}};
    };
    std::unique_ptr<Desk> d;
    std::unique_ptr<QTemporaryDir> folder;
    QString startFolder = QDir::currentPath();

    QString file(const QString &name) const { return folder->filePath(name); }
    void run(const QString &menuItem)
    {
        using C = Commands;
        static const QHash<QString, void (C::*)()> items = {
            {"ion", &C::ion}, {"mirage_os", &C::mirage_os}, {"tse", &C::tse}, {"plus_asm", &C::plus_asm},
            {"compile", &C::compile}, {"compile_ion", &C::compile_ion}, {"mirage", &C::mirage},
            {"tses", &C::tses}, {"compile_options", &C::compile_options}, {"new", &C::new_},
            {"load", &C::load_project}, {"save", &C::Save}};
        (d->commands.*items.value(menuItem))();
    }

private slots:
    void init()
    {
        d = std::make_unique<Desk>();
        d->editor.bytes = "keep\r\nthis";
        d->clipboard.content = QStringLiteral("before");
        folder = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(folder->path());
    }
    void cleanup() { QDir::setCurrent(startFolder); }

    // Each toolbar key starts its command, as the user sees it: the first box
    // or dialog, the clipboard and the text. Any other key, in any other case,
    // does nothing. Every question is answered No.
    void toolbar_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("clipboardRefuses");
        QTest::addColumn<QString>("seen");
        const QString untouched = QStringLiteral("; before; keep\r\nthis");
        QTest::newRow("New") << "New" << false << "confirm|New Source|Are you sure?|Yes" + untouched;
        QTest::newRow("Open") << "Open" << false << "Load Source File" + untouched;
        QTest::newRow("Save") << "Save" << false << "Save Source File" + untouched;
        QTest::newRow("Compile is the custom line")
            << "Compile" << false << "input|Custom Compile|Enter Custom Arguments to Compile Program|" + untouched;
        QTest::newRow("Cut") << "Cut" << false << "; ke; ep\r\nthis";
        QTest::newRow("Cut, the clipboard refuses") << "Cut" << true << "; ; keep\r\nthis";
        QTest::newRow("Paste") << "Paste" << false << "; before; beforeep\r\nthis";
        QTest::newRow("Copy") << "Copy" << false << "; ke; keep\r\nthis";
        QTest::newRow("letter case counts") << "copy" << false << untouched;
        QTest::newRow("empty key") << "" << false << untouched;
    }
    void toolbar()
    {
        QFETCH(QString, key);
        QFETCH(bool, clipboardRefuses);
        d->prompts.yes = false;
        d->clipboard.refuses = clipboardRefuses;
        d->editor.selectionEnd = 2;
        d->commands.toolbarButtonClick(key);
        const QString first = d->dialog.title.isEmpty() ? d->prompts.shown.value(0) : d->dialog.title;
        QTEST(QStringList({first, d->clipboard.content, QString::fromUtf8(d->editor.bytes)}).join(QStringLiteral("; ")),
              "seen");
    }

    // The names that outlive the commands: Save remembers its name, Load
    // offers the last saved one again, and the working folder follows the
    // dialog so templates and scripts beside the sources are found.
    void fileNames()
    {
        QVERIFY(writeAll(file("b.z80"), "loaded"));
        d->dialog.choice = file("b.z80");
        d->commands.load_project();
        QCOMPARE(d->editor.bytes, QByteArray("loaded"));

        d->dialog.choice = file("a.asm");
        d->commands.Save();
        QCOMPARE(d->dialog.offered, QString()); // nothing saved yet: the loaded name is not offered
        QCOMPARE(readAll(file("a.asm")), QByteArray("loaded"));

        QDir::setCurrent(startFolder);
        d->dialog.choice = file("b.z80");
        d->commands.load_project();
        QCOMPARE(QDir::currentPath(), QDir(folder->path()).canonicalPath());
        d->dialog.choice.clear(); // Cancel: nothing read or written
        d->editor.bytes = "unsaved";
        d->commands.Save();
        d->commands.load_project();
        QCOMPARE(d->dialog.offered, file("a.asm"));
        QCOMPARE(readAll(file("a.asm")), QByteArray("loaded"));
        QCOMPARE(d->editor.bytes, QByteArray("unsaved"));

        d->dialog.choice = file("no/such/folder"); // a failed save still remembers its name
        d->commands.Save();
        d->dialog.choice.clear();
        d->commands.Save();
        QCOMPARE(d->dialog.offered, file("no/such/folder"));
        QCOMPARE(d->prompts.shown.size(), 1);
    }

    // What Save asks, from the file the text came from (/a, as it was then)
    // and what the chosen path leads to now.
    void saveQuestion_data()
    {
        QTest::addColumn<bool>("seen"); // else nothing loaded or saved: at start, after New or Insert Header
        QTest::addColumn<QString>("path");
        QTest::addColumn<QList<qint64>>("there"); // device, inode, size, time; none: no file
        QTest::addColumn<QString>("asked");
        const auto row = [](const char *name, bool seen, const char *path, const QList<qint64> &there,
                            const char *asked) {
            QTest::newRow(name) << seen << QString(path) << there << QString(asked);
        };
        row("first save to a new name", true, "/b", {}, "");
        row("back to the loaded file, unchanged", true, "/x/../a", {1, 2, 3, 4}, "");
        row("another name for it, a link", true, "/l", {1, 2, 3, 4}, "");
        row("another existing file", true, "/b", {1, 5, 3, 4}, "exists");
        row("the same inode on another device", true, "/b", {9, 2, 3, 4}, "exists");
        row("nothing seen: an existing file", false, "/a", {1, 2, 3, 4}, "exists");
        row("nothing seen: a new name", false, "/b", {}, "");
        row("replaced by a rename: another inode", true, "/a", {1, 5, 3, 4}, "changed");
        row("size changed", true, "/a", {1, 2, 9, 4}, "changed");
        row("time changed, same size", true, "/a", {1, 2, 3, 5}, "changed");
        row("deleted since", true, "/a", {}, "");
    }
    void saveQuestion()
    {
        QFETCH(bool, seen);
        QFETCH(QString, path);
        QFETCH(QList<qint64>, there);
        const auto stamp = [](const QList<qint64> &s) { return FileStamp{dev_t(s[0]), ino_t(s[1]), s[2], s[3]}; };
        const auto asked = ::saveQuestion(seen ? std::optional(SeenFile{"/a", stamp({1, 2, 3, 4})}) : std::nullopt,
                                          path, there.isEmpty() ? std::nullopt : std::optional(stamp(there)));
        QTEST(QStringList({"", "exists", "changed"}).value(int(asked)), "asked");
    }

    // Save asks before it replaces a file the user has not seen, or one another
    // program changed since, with No the default; No changes nothing. Steps on
    // real files: "write NAME TEXT" and "time NAME N" (N nanoseconds past a
    // moment long gone; never the clock's, which a rewrite within one tick
    // keeps) as another program does; "delete NAME"; "load NAME"; "save [NAME]"
    // (no name: Cancel); "type TEXT"; "new"; "ion"; "no" answers No from then on.
    void saveAsks_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("after"); // a's bytes; the editor's; the name the dialog offered last
        const QString exists = "confirm|Save Source File|\"%1\" already exists. Replace it?|No";
        const QString changed =
            "confirm|Save Source File|\"%1\" was changed by another program since it was loaded. Replace it?|No";
        const auto row = [](const char *name, const QStringList &steps, const QStringList &asked, const char *after) {
            QTest::newRow(name) << steps << asked << QString(after);
        };
        const QStringList other{"write a mine", "save b", "write m game", "load m"}, loaded{"write a old", "load a"};
        row("another file, No", other + QStringList{"no", "save a", "save"}, {exists.arg("a")}, "mine; game; a");
        row("No keeps the current name", other + QStringList{"no", "save a", "load m", "save"}, {exists.arg("a")},
            "mine; game; b");
        row("another file, Yes", other + QStringList{"save a"}, {exists.arg("a")}, "game; game; b");
        row("saved, then saved again", loaded + QStringList{"save a", "type new", "save a"}, {}, "new; new; a");
        row("after New", loaded + QStringList{"new", "save a"},
            {"confirm|New Source|Are you sure?|Yes", exists.arg("a")}, "; ; ");
        row("after Insert Header", QStringList{"write ion.txt H"} + loaded + QStringList{"ion", "save a"},
            {"confirm|Warning|This will erase your current file! Do you wish to proceed?|Yes", exists.arg("a")},
            "H; H; ");
        row("size changed", loaded + QStringList{"write a longer", "no", "save a"}, {changed.arg("a")},
            "longer; old; ");
        row("time changed by a nanosecond",
            {"write a old", "time a 1", "load a", "write a new", "time a 2", "no", "save a"}, {changed.arg("a")},
            "new; old; ");
        row("deleted since", loaded + QStringList{"delete a", "save a"}, {}, "old; old; ");
        row("a failed load keeps the record", loaded + QStringList{"load missing", "save a"}, {}, "old; old; ");
        row("a failed save keeps it too", loaded + QStringList{"save no/x", "save a"}, {}, "old; old; no/x");
    }
    void saveAsks()
    {
        QFETCH(QStringList, steps);
        for (const QString &step : steps) {
            const QString verb = step.section(' ', 0, 0), name = step.section(' ', 1, 1);
            d->dialog.choice = name.isEmpty() ? QString() : file(name);
            if (verb == "write") {
                QVERIFY(writeAll(file(name), step.section(' ', 2).toUtf8()));
            } else if (verb == "time") {
                const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, step.section(' ', 2).toLong()}};
                QVERIFY(utimensat(AT_FDCWD, QFile::encodeName(file(name)), times, 0) == 0);
            } else if (verb == "delete") {
                QVERIFY(QFile::remove(file(name)));
            } else if (verb == "type") {
                d->editor.bytes = name.toUtf8();
            } else if (verb == "no") {
                d->prompts.yes = false;
            } else {
                run(verb);
            }
        }
        QTEST(d->prompts.shown.filter("confirm|").replaceInStrings(folder->path() + '/', ""), "asked");
        QTEST(QStringList({readAll(file("a")), d->editor.bytes, d->dialog.offered.remove(folder->path() + '/')})
                  .join("; "),
              "after");
    }

    // Insert Header reads its template from the working folder afresh, after
    // one warning; No, or a template that cannot be read, leaves the text alone.
    void headers_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // "-": no such file
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("ION") << "ion" << "ion.txt" << QByteArray("\tION\r\n") << true << "";
        QTest::newRow("Mirage OS, any bytes") << "mirage_os" << "mirage.txt" << QByteArray("\x80\0M\n", 4) << true << "";
        QTest::newRow("TI-83 Plus") << "plus_asm" << "ti83plus.txt" << QByteArray("\r") << true << "";
        QTest::newRow("No") << "ion" << "ion.txt" << QByteArray("ION") << false << "";
        QTest::newRow("missing") << "tse" << "tse.txt" << QByteArray("-") << true << "No such file or directory";
        QTest::newRow("empty") << "ion" << "ion.txt" << QByteArray() << true << "The file is empty";
    }
    void headers()
    {
        QFETCH(QString, command);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, yes);
        QFETCH(QString, reason);
        if (content != "-")
            QVERIFY(writeAll(file(name), content));
        d->prompts.yes = yes;
        run(command);
        QCOMPARE(d->prompts.shown.value(0),
                 QStringLiteral("confirm|Warning|This will erase your current file! Do you wish to proceed?|Yes"));
        const bool replaced = yes && reason.isEmpty();
        QCOMPARE(d->editor.bytes, replaced ? content : QByteArray("keep\r\nthis"));
        if (!reason.isEmpty()) {
            const QStringList box = d->prompts.shown.value(1).split(QLatin1Char('|'));
            QCOMPARE(box.mid(0, 2), QStringList({"error", "Insert Header"}));
            QVERIFY(box.value(2).endsWith(file(name)));
            QVERIFY(box.value(3).startsWith(reason) && box.value(3).contains(QLatin1String("/own/copies")));
        } else if (replaced) { // edited between two uses: the new content
            QVERIFY(writeAll(file(name), "edited"));
            run(command);
            QCOMPARE(d->editor.bytes, QByteArray("edited"));
        }
    }

    // Find, Find Next (next), Find Previous (prev) and Go To Line step by
    // step: the word after a command is typed into its box, none is Cancel;
    // "sel 1 3" selects. The selection and the boxes afterwards; no byte changes.
    void findAndGoToLine_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("shown");
        const auto row = [](const QString &name, const QStringList &steps, const char *selected,
                            const QStringList &shown) {
            QTest::addRow("%s", qPrintable(name)) << steps << QString(selected) << shown;
        };
        const QString find = "input|Find|Find what:|", line = "input|Go To Line|Line number:|";
        const QString missing = "inform|Find|Cannot find \"%1\".";
        row("forward", {"sel 9 9", "find ld"}, "15-17", {find});
        row("forward wraps", {"sel 9 9", "find ld", "next"}, "0-2", {find});
        row("wraps to around the caret", {"sel 1 1", "find LD A"}, "0-4", {find});
        row("wraps back to around the caret", {"sel 12 12", "prev b,2"}, "11-14", {find});
        row("previous wraps", {"find ld", "prev", "prev"}, "8-10", {find});
        row("F3 first asks", {"next B,"}, "11-13", {find});
        row("Shift+F3 first asks", {"sel 20 20", "prev LD"}, "15-17", {find});
        row("no match", {"sel 1 3", "find xyz"}, "1-3", {find + "d ", missing.arg("xyz")});
        row("A-Z folded", {"find [C]"}, "18-21", {find});
        row("only A-Z folded", {"find {C]"}, "0-0", {find, missing.arg("{C]")});
        row("\xc3\x89 is not \xc3\xa9", {"find CAF\xc3\x89"}, "29-34", {find});
        row("not across lines", {"find 1\r\nLD"}, "0-0", {find, missing.arg("1\r\nLD")});
        row("lines not offered, Cancel", {"find B", "sel 0 9", "find"}, "0-9", {find, find + "B"});
        row("line", {"line 3"}, "15-15", {line});
        row("line, spaces", {"line  2 "}, "8-8", {line});
        row("past the end", {"line 5"}, "22-22", {line});
        row("far past the end", {"line 18446744073709551616"}, "22-22", {line});
        for (const char *wrong : {"0", "-2", "2.5", "x", ""})
            row(QString("line \"%1\"").arg(wrong), {"sel 1 3", QString("line ") + wrong}, "1-3", {line});
    }
    void findAndGoToLine()
    {
        QFETCH(QStringList, steps);
        const QByteArray text = d->editor.bytes = "ld a,1\r\nLD B,2\nld [c]\r{caf\xc3\xa9 CAF\xc3\x89";
        using C = Commands;
        static const QHash<QString, void (C::*)()> commands{
            {"find", &C::find}, {"next", &C::find_next}, {"prev", &C::find_previous}, {"line", &C::go_to_line}};
        for (const QString &step : steps) {
            d->prompts.typed = step.section(' ', 1);
            const QStringList range = d->prompts.typed.split(' ');
            if (step.startsWith("sel "))
                d->editor.select({range.value(0).toInt(), range.value(1).toInt()});
            else
                (d->commands.*commands.value(step.section(' ', 0, 0)))();
        }
        QTEST(QString("%1-%2").arg(d->editor.selectionStart).arg(d->editor.selectionEnd), "selected");
        QTEST(d->prompts.shown, "shown");
        QCOMPARE(d->editor.bytes, text);
    }

    // The command line each compile command starts, and the title of its
    // error box when the start fails.
    void compile_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("errorTitle");
        QTest::newRow("Compile Source") << "compile" << "W" << "asm.bat W" << "Problem";
        QTest::newRow("ION, cancelled") << "compile_ion" << "" << "asm.bat " << "";
        QTest::newRow("Mirage OS") << "mirage" << "hello" << "mirage.bat hello" << "";
        QTest::newRow("TSE, as typed") << "tses" << " a  \"b\" " << "tse.bat  a  \"b\" " << "";
        QTest::newRow("custom") << "compile_options" << "spasm a.z80 a.8xp" << "spasm a.z80 a.8xp" << "";
        QTest::newRow("custom, cancelled") << "compile_options" << "" << "" << "";
    }
    void compile()
    {
        QFETCH(QString, command);
        QFETCH(QString, typed);
        QFETCH(QString, commandLine);
        QFETCH(QString, errorTitle);
        d->prompts.typed = typed;
        run(command);
        QCOMPARE(d->launcher.started, QStringList{commandLine});
        QCOMPARE(d->prompts.shown.size(), 1); // the input box only

        d->launcher.refusal = QStringLiteral("no such program");
        run(command);
        const QStringList box = d->prompts.shown.constLast().split(QLatin1Char('|'));
        QCOMPARE(box.mid(0, 3), QStringList({"error", errorTitle, "We got a problem!"}));
        QVERIFY(box.value(3).contains(commandLine) && box.value(3).contains(d->launcher.refusal));
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
