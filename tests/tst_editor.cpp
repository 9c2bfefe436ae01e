// Bytes through the real editor, its own keys and the real clipboard: what
// goes in comes out, through Load, the edit commands, paste and Undo.

#include "fakes.h"

#include "document/edit_commands.h"
#include "document/find_commands.h"
#include "test_files.h"
#include "ui/message_prompts.h"
#include "ui/source_editor.h"
#include "ui/source_file_dialog.h"
#include "ui/system_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using Steps = QList<QByteArray>;

class TestEditor : public QObject
{
    Q_OBJECT

    // As File > Load does, a few bytes at a time; `fails` ends in a read error.
    static bool load(SourceEditor &editor, QByteArray bytes, bool fails = false)
    {
        return editor.replaceText(bytes.size(), [&bytes, fails](char *buffer, qsizetype capacity) -> qsizetype {
            if (bytes.isEmpty())
                return fails ? -1 : 0;
            const qsizetype count = std::min<qsizetype>({capacity, 3, bytes.size()});
            std::copy_n(bytes.constData(), count, buffer);
            bytes.remove(0, count);
            return count;
        });
    }

private slots:
    void bytes_data()
    {
        QTest::addColumn<QByteArray>("loaded");
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QByteArray>("text");      // afterwards
        QTest::addColumn<bool>("utf8");            // displayed as UTF-8, else Latin-1
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("wrapped");
        const QByteArray ends("ld a,1\r\nret\nb\rc\0d\r\n", 19), latin1("; \x80\xff\xe9 caf\xe9\r\n"),
            utf8("caf\xc3\xa9 \xe2\x82\xac\r\n"), box("\xef\xbf\xbd"), rows("ab\r\ncd\r\n");
        const QByteArray longLine(SourceEditor::maxWrappedLineLength + 1, 'x');
        const QByteArray manyLines = QByteArray("nop\r\n").repeated(SourceEditor::maxWrappedLines);
        auto row = [](const char *name, const QByteArray &loaded, const Steps &steps, const QByteArray &text,
                      bool utf8 = true, const QString &clipboard = {}, bool wrapped = true) {
            QTest::newRow(name) << loaded << steps << text << utf8 << clipboard << wrapped;
        };
        row("line ends, NUL", ends, {}, ends);
        row("8-bit bytes", latin1, {}, latin1, false);
        row("undo New, cut, paste", latin1, {"new", "Ctrl+Z", "Ctrl+A", "cut", "paste"}, latin1, false,
            QString::fromLatin1(latin1));
        row("redo New", latin1, {"new", "Ctrl+Z", "Ctrl+Y"}, {});
        row("undo Load", utf8, {"load " + latin1, "Ctrl+Z", "Ctrl+A", "Ctrl+X", "Ctrl+V"}, utf8, true,
            QString::fromUtf8(utf8));
        row("redo Load", utf8, {"load " + latin1, "menu 0", "menu 1", "Ctrl+A", "copy"}, latin1, false,
            QString::fromLatin1(latin1));
        row("undo typing and two loads", ends, {"type x", "load " + box, "load ", "Ctrl+Z", "Ctrl+Z", "Ctrl+Z"}, ends);
        row("failed Load", latin1, {"type x", "fail " + utf8, "Ctrl+Z"}, latin1, false);
        row("Enter", rows, {"Ctrl+End", "Return", "type ;"}, rows + "\r\n;");
        row("cut nothing", ends, {"clip old", "cut"}, ends);
        row("paste", rows, {"clip \na\rb\r\n", "Shift+Right", "paste"}, "\na\rb\r\nb\r\ncd\r\n", true, "\na\rb\r\n");
        row("paste keys, type", rows, {"clip x\r", "Ctrl+V", "Shift+Ins", "type z"}, "x\rx\rz" + rows, true, "x\r");
        row("context menu, drop", rows, {"clip \r\n\r", "menu 5", "drop y\n"}, "y\n\r\n\r" + rows, true, "\r\n\r");
        row("paste into Latin-1", latin1, {"clip \xe2\x82\xac\xc3\xbc", "paste"}, "?\xfc" + latin1, false,
            QString::fromUtf8("\xe2\x82\xac\xc3\xbc"));
        for (const char *const copy : {"copy", "Ctrl+C"})
            row(copy, rows, {"Alt+Shift+Down", "Alt+Shift+Right", copy}, rows, true, "ab\r\nc");
        for (const char *const cut : {"cut", "Ctrl+X"})
            row(cut, rows, {"Alt+Shift+Down", "Alt+Shift+Right", cut}, "d\r\n", true, "ab\r\nc");
        row("long line", longLine, {}, longLine, true, {}, false);
        row("many lines", manyLines, {}, manyLines, true, {}, false);
        const QByteArray limits = manyLines.chopped(5) + longLine.chopped(1); // as many lines, as long a line as wrap
        row("at both limits", limits, {}, limits);
        row("undo New of a long line", longLine, {"new", "Ctrl+Z"}, longLine, true, {}, false);
        // Find and Go To Line; Shift+End and Copy show where the selection starts.
        const QByteArray accents("; \xe9t\xc9\r\n\xc9T\xe9 ?\rend");
        row("find in Latin-1", accents, {"find \xc3\x89", "next", "Shift+End", "copy"}, accents, false,
            "\u00c9T\u00e9 ?");
        row("find what Latin-1 lacks", accents, {"find \xe2\x82\xac", "Shift+End", "copy"}, accents, false,
            "; \u00e9t\u00c9");
        row("go to line", accents, {"line 2", "Shift+End", "copy"}, accents, false, "\u00c9T\u00e9 ?");
        row("go past the last line", accents, {"line 9", "Shift+End", "copy"}, accents, false, "end");
    }

    void bytes()
    {
        QFETCH(QByteArray, loaded);
        QFETCH(Steps, steps);
        SourceEditor editor;
        editor.show();
        QGuiApplication::clipboard()->clear();
        FakePrompts prompts;
        SystemClipboard clipboard;
        EditCommands commands(editor, clipboard, prompts);
        const QHash<QByteArray, void (EditCommands::*)()> editCommands{
            {"cut", &EditCommands::cut}, {"copy", &EditCommands::copy}, {"paste", &EditCommands::paste}};
        FindCommands finding(editor, prompts);
        const QHash<QByteArray, void (FindCommands::*)()> findCommands{
            {"find", &FindCommands::find}, {"next", &FindCommands::find_next}, {"line", &FindCommands::go_to_line}};
        QVERIFY(load(editor, loaded));
        for (const QByteArray &step : steps) {
            const QByteArray verb = step.split(' ').first(), operand = step.mid(verb.size() + 1);
            QMimeData dragged;
            if (verb == "load" || verb == "fail")
                QCOMPARE(load(editor, operand, verb == "fail"), verb == "load");
            else if (verb == "new")
                commands.new_();
            else if (const auto command = editCommands.value(verb))
                (commands.*command)();
            else if (const auto command = findCommands.value(verb))
                prompts.typed = QString::fromUtf8(operand), (finding.*command)();
            else if (verb == "clip")
                QGuiApplication::clipboard()->setText(QString::fromUtf8(operand));
            else if (verb == "type")
                QTest::keyClicks(&editor, QString::fromUtf8(operand));
            else if (verb == "menu") // the editor's own: 0 Undo, 1 Redo, 5 Paste
                std::unique_ptr<QMenu>(editor.createStandardContextMenu())->actions().at(operand.toInt())->trigger();
            else if (verb == "drop") { // from another program
                dragged.setText(QString::fromUtf8(operand));
                QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &dragged, Qt::LeftButton, {});
                QDropEvent drop(QPoint(1, 1), Qt::CopyAction, &dragged, Qt::LeftButton, {});
                QApplication::sendEvent(editor.viewport(), &enter), QApplication::sendEvent(editor.viewport(), &drop);
            } else
                QTest::keySequence(&editor, QKeySequence(QString::fromLatin1(step)));
        }
        QTEST(editor.text(), "text");
        QTEST(editor.isUtf8(), "utf8");
        QTEST(QGuiApplication::clipboard()->text(), "clipboard");
        QTEST(editor.wrapMode() == QsciScintilla::WrapWord, "wrapped");
    }

    // The boxes as the user answers them. The file dialog opens in the folder
    // it is handed, not the current directory; one kept between uses
    // hands back the file chosen, not one it had selected before it listed
    // the folder; Enter presses a question's default button, Yes or No; a
    // command line pasted into an input box arrives whole, however long.
    void boxes()
    {
        QTemporaryDir folder;
        QWidget window; // which deletes the dialogs it was lent
        SourceFileDialog dialog(&window);
        MessagePrompts prompts(&window);
        const QString line = "asm.bat " + QString(40000, 'w');
        QGuiApplication::clipboard()->setText(line);
        QString chosen, opened;
        QTimer user; // notes a file dialog's folder, picks `chosen`, opens it; pastes and presses OK; or presses Enter
        connect(&user, &QTimer::timeout, [&chosen, &opened] {
            QWidget *box = QApplication::activeModalWidget();
            if (auto *files = qobject_cast<QFileDialog *>(box))
                opened = files->directory().path(), files->selectFile(chosen),
                QMetaObject::invokeMethod(files, "accept");
            else if (auto *input = qobject_cast<QInputDialog *>(box))
                QTest::keySequence(input->findChild<QLineEdit *>(), QKeySequence::Paste), input->accept();
            else if (box)
                QTest::keyClick(box, Qt::Key_Return);
        });
        user.start(0);
        for (const char *name : {"a.z80", "a.z80", "a.z80", "b.z80"}) {
            QVERIFY(writeAll(chosen = folder.filePath(name), name));
            QString fileName;
            QVERIFY(dialog.show(FileDialog::Mode::Open, {}, {}, folder.path(), fileName));
            QCOMPARE(fileName, chosen);
            QCOMPARE(opened, folder.path());
        }
        for (const auto answer : {Prompts::Answer::Yes, Prompts::Answer::No})
            QCOMPARE(prompts.confirm("Replace it?", "Save Source File", answer), answer == Prompts::Answer::Yes);
        QCOMPARE(prompts.input("Enter Custom Arguments to Compile Program", "Custom Compile"), line);
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
