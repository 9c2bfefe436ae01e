#include "app/commands.h"
#include "fakes.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

// The commands as a user drives them, through fakes of everything the
// platform supplies: what each shows, starts, reads and writes.
class TestCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeDesk> d;
    std::unique_ptr<QTemporaryDir> folder;

    QString file(const QString &name) const { return folder->filePath(name); }

    // Steps as a user takes them: a menu item or key and what goes into its
    // box or dialog (nothing: Cancel); "write NAME TEXT" and "time NAME N" (N
    // nanoseconds past a moment long gone; never the clock's, which a rewrite
    // within one tick keeps) as another program does; "delete NAME"; "type
    // TEXT" for the editor's bytes; "sel FROM TO" selects; "no" answers No
    // from then on. Names are of files in `folder`.
    void play(const QStringList &steps)
    {
        using C = Commands;
        static const QHash<QString, void (C::*)()> items = {
            {"ion", &C::ion}, {"mirage_os", &C::mirage_os}, {"tse", &C::tse}, {"plus_asm", &C::plus_asm},
            {"compile", &C::compile}, {"compile_ion", &C::compile_ion}, {"mirage", &C::mirage},
            {"tses", &C::tses}, {"compile_options", &C::compile_options}, {"new", &C::new_},
            {"load", &C::load_project}, {"save", &C::Save}, {"find", &C::find}, {"next", &C::find_next},
            {"prev", &C::find_previous}, {"line", &C::go_to_line}};
        for (const QString &step : steps) {
            const QString verb = step.section(' ', 0, 0), operand = step.section(' ', 1);
            const QString name = operand.section(' ', 0, 0), rest = operand.section(' ', 1);
            d->dialog.choice = operand.isEmpty() ? QString() : file(operand);
            d->prompts.typed = operand;
            if (verb == "write") {
                QVERIFY(writeAll(file(name), rest.toUtf8()));
            } else if (verb == "time") {
                const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, rest.toLong()}};
                QVERIFY(utimensat(AT_FDCWD, QFile::encodeName(file(name)), times, 0) == 0);
            } else if (verb == "delete") {
                QVERIFY(QFile::remove(file(name)));
            } else if (verb == "type") {
                d->editor.bytes = operand.toUtf8();
            } else if (verb == "sel") {
                d->editor.select({name.toInt(), rest.toInt()});
            } else if (verb == "no") {
                d->prompts.yes = false;
            } else {
                (d->commands.*items.value(verb))();
            }
        }
    }

private slots:
    void init()
    {
        d = std::make_unique<FakeDesk>();
        d->editor.bytes = "keep\r\nthis";
        d->clipboard.content = QStringLiteral("before");
        folder = std::make_unique<QTemporaryDir>();
    }

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

    // What Save asks when the chosen path is another name for the file the
    // text came from (/a), or another file with its inode; the other answers
    // are seen on real files below.
    void saveQuestion()
    {
        const FileStamp a{1, 2, 3, 4};
        const SeenFile seen{"/a", a};
        // A link to it: nothing to ask.
        QCOMPARE(::saveQuestion(seen, "/l", a), SaveQuestion::None);
        // The same inode on another device.
        QCOMPARE(::saveQuestion(seen, "/b", FileStamp{9, 2, 3, 4}), SaveQuestion::AlreadyExists);
        // Replaced by a rename, and named another way.
        QCOMPARE(::saveQuestion(seen, "/x/../a", FileStamp{1, 5, 3, 4}), SaveQuestion::ChangedByAnotherProgram);
    }

    // Save asks before it replaces a file the user has not seen (nothing loaded
    // or saved, or after New or Insert Header), or one another program changed
    // since, with No the default; No changes nothing. Insert Header reads its
    // template afresh, after one warning, from the working folder, which
    // follows a confirmed dialog into a folder that is there. Every box (the
    // folder in it as <dir>), and afterwards: a's bytes; the editor's; the
    // name the dialog offered last (Load offers the last one saved).
    void session_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("after");
        const QString exists = "confirm|Save Source File|\"<dir>/%1\" already exists. Replace it?|No";
        const QString changed =
            "confirm|Save Source File|\"<dir>/%1\" was changed by another program since it was loaded. Replace it?|No";
        const QString warning = "confirm|Warning|This will erase your current file! Do you wish to proceed?|Yes";
        const QString unread = "error|Insert Header|Could not read the header template <dir>/%1|%2.\n\nThe header "
                               "templates are looked up in the working directory. Tarnell's own copies of them are "
                               "in /own/copies.";
        const QString unsaved = "error|Save Source File|Could not save <dir>/no/x|No such file or directory. The "
                                "file on disk was not changed; the text is still in the editor.";
        const auto row = [](const char *name, const QStringList &steps, const QStringList &shown, const char *after) {
            QTest::newRow(name) << steps << shown << QString(after);
        };
        const QStringList other{"write a mine", "save b", "write m game", "load m"}, loaded{"write a old", "load a"};
        row("another file, No", other + QStringList{"no", "save a", "save"}, {exists.arg("a")}, "mine; game; a");
        row("No keeps the current name", other + QStringList{"no", "save a", "load m", "save"}, {exists.arg("a")},
            "mine; game; b");
        row("another file, Yes", other + QStringList{"save a"}, {exists.arg("a")}, "game; game; b");
        row("saved, then saved again", loaded + QStringList{"save a", "type new", "save a"}, {}, "new; new; a");
        row("after New", loaded + QStringList{"new", "save a"},
            {"confirm|New Source|Are you sure?|Yes", exists.arg("a")}, "; ; ");
        row("size changed", loaded + QStringList{"write a longer", "no", "save a"}, {changed.arg("a")},
            "longer; old; ");
        row("time changed by a nanosecond",
            {"write a old", "time a 1", "load a", "write a new", "time a 2", "no", "save a"}, {changed.arg("a")},
            "new; old; ");
        row("deleted since", loaded + QStringList{"delete a", "save a"}, {}, "old; old; ");
        row("a failed or cancelled load keeps the record", loaded + QStringList{"load missing", "load", "save a"},
            {"error|Load Source File|Could not load <dir>/missing|No such file or directory."}, "old; old; ");
        row("a failed save keeps it too", loaded + QStringList{"save no/x", "save a"}, {unsaved}, "old; old; no/x");
        row("ION, edited between two uses, then Save",
            loaded + QStringList{"write ion.txt H", "ion", "write ion.txt I", "ion", "save a"},
            {warning, warning, exists.arg("a")}, "I; I; ");
        row("Mirage OS, then Save", loaded + QStringList{"write mirage.txt M\r\n", "mirage_os", "save a"},
            {warning, exists.arg("a")}, "M\r\n; M\r\n; ");
        row("TI-83 Plus", loaded + QStringList{"write ti83plus.txt \r", "plus_asm"}, {warning}, "old; \r; ");
        row("No to the warning", loaded + QStringList{"write ion.txt H", "no", "ion"}, {warning}, "old; old; ");
        row("no template, after a save into no folder", loaded + QStringList{"save no/x", "tse"},
            {unsaved, warning, unread.arg("tse.txt", "No such file or directory")}, "old; old; ");
        row("an empty template", loaded + QStringList{"write ion.txt ", "ion"},
            {warning, unread.arg("ion.txt", "The file is empty")}, "old; old; ");
    }
    void session()
    {
        QFETCH(QStringList, steps);
        play(steps);
        QTEST(d->prompts.shown.replaceInStrings(folder->path(), "<dir>"), "shown");
        QTEST(QStringList({readAll(file("a")), d->editor.bytes, d->dialog.offered.remove(folder->path() + '/')})
                  .join("; "),
              "after");
    }

    // Find, Find Next (next), Find Previous (prev) and Go To Line: the
    // selection and the boxes afterwards; no byte changes.
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
        row("lines not offered, Cancel", {"find B", "sel 15 23", "find", "sel 8 16", "find"}, "8-16",
            {find, find + "B", find + "B"});
        row("line, spaces", {"line  2 "}, "8-8", {line});
        row("far past the end", {"line 18446744073709551616"}, "22-22", {line});
        for (const char *wrong : {"0", "-2", "2.5", "x", ""})
            row(QString("line \"%1\"").arg(wrong), {"sel 1 3", QString("line ") + wrong}, "1-3", {line});
    }
    void findAndGoToLine()
    {
        QFETCH(QStringList, steps);
        const QByteArray text = d->editor.bytes = "ld a,1\r\nLD B,2\nld [c]\r{caf\xc3\xa9 CAF\xc3\x89";
        play(steps);
        QTEST(QString("%1-%2").arg(d->editor.selectionStart).arg(d->editor.selectionEnd), "selected");
        QTEST(d->prompts.shown, "shown");
        QCOMPARE(d->editor.bytes, text);
    }

    // The command line each compile command starts, in the folder the program
    // was started in, then after a Load in the file's folder, and the title
    // of its error box when that start fails.
    void compile_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("errorTitle");
        QTest::newRow("Compile Source") << "compile W" << "asm.bat W" << "Problem";
        QTest::newRow("ION, cancelled") << "compile_ion" << "asm.bat " << "";
        QTest::newRow("Mirage OS") << "mirage hello" << "mirage.bat hello" << "";
        QTest::newRow("TSE, as typed") << "tses  a  \"b\" " << "tse.bat  a  \"b\" " << "";
        QTest::newRow("custom") << "compile_options spasm a.z80 a.8xp" << "spasm a.z80 a.8xp" << "";
        QTest::newRow("custom, cancelled") << "compile_options" << "" << "";
    }
    void compile()
    {
        QFETCH(QString, step);
        QFETCH(QString, commandLine);
        QFETCH(QString, errorTitle);
        play({step});
        QCOMPARE(d->launcher.started, QStringList{commandLine});
        QCOMPARE(d->launcher.folder, "/start");
        QCOMPARE(d->prompts.shown.size(), 1); // the input box only

        d->launcher.refusal = QStringLiteral("no such program");
        play({"write a x", "load a", step});
        QCOMPARE(d->launcher.folder, folder->path());
        const QStringList box = d->prompts.shown.constLast().split(QLatin1Char('|'));
        QCOMPARE(box.mid(0, 3), QStringList({"error", errorTitle, "We got a problem!"}));
        QVERIFY(box.value(3).contains(commandLine) && box.value(3).contains(d->launcher.refusal)
                && box.value(3).contains("Working directory: " + folder->path() + '\n'));
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
