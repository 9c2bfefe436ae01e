// The editor keeps every byte, and New, Cut, Copy and Paste work on it with
// the real clipboard.

#include "fakes.h"

#include "document/clipboard_commands.h"
#include "ui/source_editor.h"
#include "ui/system_clipboard.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTest>

using Command = void (ClipboardCommands::*)();
Q_DECLARE_METATYPE(Command)

class TestEditor : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("CR LF") << QByteArray("ld a,1\r\nret\r\n") << true;
        QTest::newRow("LF") << QByteArray("ld a,1\nret\n") << true;
        QTest::newRow("lone CR") << QByteArray("ld a,1\rret\r") << true;
        QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd\n\r\r\n") << true;
        QTest::newRow("NUL bytes") << QByteArray("a\0b\0\0c\r\n\0", 10) << true;
        QTest::newRow("high bytes") << QByteArray("\x80\xff caf\xe9 \xa0\r\n") << false;
        QTest::newRow("invalid UTF-8") << QByteArray("ok \xc3\x28 \xe2\x82 end") << false;
        QTest::newRow("valid UTF-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac") << true;
        QTest::newRow("no final line end") << QByteArray("ret") << true;
    }

    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        SourceEditor editor;
        editor.setText(bytes);
        QCOMPARE(editor.text(), bytes);
        QCOMPARE(editor.isUtf8(), utf8);
    }

    // Any byte string comes back as it went in, line ends and NULs included.
    void randomRoundTrip()
    {
        QRandomGenerator random(20011907);
        SourceEditor editor;
        const char favourites[] = {'\r', '\n', '\0', '\xff', '\x80', 'a', ' '};
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes(random.bounded(400), Qt::Uninitialized);
            for (char &byte : bytes)
                byte = random.bounded(3) == 0 ? favourites[random.bounded(int(sizeof favourites))]
                                              : char(random.bounded(256));
            editor.setText(bytes);
            if (editor.text() != bytes)
                QFAIL(qPrintable("round " + QString::number(round) + ": " + bytes.toHex()));
        }
    }

    // Wrapping makes a jump to the end lay out every line before it, so a
    // text with very many lines is shown unwrapped; the next small one wraps.
    void veryLongTextIsNotWrapped()
    {
        SourceEditor editor;
        QCOMPARE(editor.wrapMode(), QsciScintilla::WrapWord);
        editor.setText(QByteArray("    nop\r\n").repeated(SourceEditor::maxWrappedLines + 1));
        QCOMPARE(editor.wrapMode(), QsciScintilla::WrapNone);
        editor.setText("    nop\r\n");
        QCOMPARE(editor.wrapMode(), QsciScintilla::WrapWord);
    }

    void enterInsertsCrLf()
    {
        SourceEditor editor;
        editor.show();
        editor.setText("ld a,1");
        editor.setCursorPosition(0, 6);
        QTest::keyClick(&editor, Qt::Key_Return);
        QTest::keyClicks(&editor, "ret");
        QTest::keyClick(&editor, Qt::Key_Enter);
        QCOMPARE(editor.text(), QByteArray("ld a,1\r\nret\r\n"));
    }

    // A whole-text replacement is one undo step, also after several.
    void undoRestoresReplacedText()
    {
        SourceEditor editor;
        editor.show();
        editor.setText("first\r\n");
        editor.setText(QByteArray("second\0\n", 8));
        FakePrompts prompts;
        SystemClipboard clipboard;
        ClipboardCommands commands(editor, clipboard, prompts);
        commands.new_();
        QCOMPARE(editor.text(), QByteArray());
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor.text(), QByteArray("second\0\n", 8));
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor.text(), QByteArray("first\r\n"));
    }

    void commands_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<int>("answer");        // to "Are you sure?"
        QTest::addColumn<int>("from");          // selection, as byte offsets
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("clipboardBefore");
        QTest::addColumn<QByteArray>("text");   // editor text afterwards
        QTest::addColumn<QString>("clipboard"); // clipboard afterwards
        QTest::addColumn<QString>("selection"); // selected text afterwards

        const Command copy = &ClipboardCommands::copy, cut = &ClipboardCommands::cut,
                      paste = &ClipboardCommands::paste, newSource = &ClipboardCommands::new_;
        const int yes = MsgBox::Yes, no = MsgBox::No;
        // The editor holds "ld a,1\r\nret" throughout.
        QTest::newRow("copy selection") << copy << yes << 3 << 8 << "old" << QByteArray("ld a,1\r\nret")
                                        << "a,1\r\n" << "a,1\r\n";
        QTest::newRow("copy nothing empties the clipboard") << copy << yes << 2 << 2 << "old"
                                                            << QByteArray("ld a,1\r\nret") << "" << "";
        QTest::newRow("cut selection") << cut << yes << 0 << 3 << "old" << QByteArray("a,1\r\nret") << "ld "
                                       << "";
        QTest::newRow("cut nothing") << cut << yes << 4 << 4 << "old" << QByteArray("ld a,1\r\nret") << ""
                                     << "";
        QTest::newRow("paste over selection") << paste << yes << 0 << 2 << "add\r\n"
                                              << QByteArray("add\r\n a,1\r\nret") << "add\r\n" << "";
        QTest::newRow("paste at caret") << paste << yes << 8 << 8 << "x" << QByteArray("ld a,1\r\nxret") << "x"
                                        << "";
        QTest::newRow("paste keeps line ends") << paste << yes << 11 << 11 << "\na\rb\r\n"
                                               << QByteArray("ld a,1\r\nret\na\rb\r\n") << "\na\rb\r\n" << "";
        QTest::newRow("paste nothing deletes the selection") << paste << yes << 2 << 6 << ""
                                                             << QByteArray("ld\r\nret") << "" << "";
        QTest::newRow("new, No") << newSource << no << 3 << 8 << "old" << QByteArray("ld a,1\r\nret") << "old"
                                 << "a,1\r\n";
        QTest::newRow("new, Yes") << newSource << yes << 3 << 8 << "old" << QByteArray() << "old" << "";
    }

    void commands()
    {
        QFETCH(Command, command);
        QFETCH(int, answer);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, clipboardBefore);
        QFETCH(QByteArray, text);
        QFETCH(QString, clipboard);
        QFETCH(QString, selection);

        SourceEditor editor;
        editor.setText("ld a,1\r\nret");
        editor.SendScintilla(QsciScintilla::SCI_SETSEL, from, to);
        QGuiApplication::clipboard()->setText(clipboardBefore);
        FakePrompts prompts;
        prompts.answer = answer;
        SystemClipboard systemClipboard;
        ClipboardCommands commands(editor, systemClipboard, prompts);

        (commands.*command)();

        QCOMPARE(editor.text(), text);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(editor.selectedText(), selection);
        if (command == &ClipboardCommands::new_) {
            QCOMPARE(prompts.boxes.size(), 1);
            QCOMPARE(prompts.boxes[0].prompt, QString("Are you sure?"));
            QCOMPARE(prompts.boxes[0].title, QString("New Source"));
            QCOMPARE(prompts.boxes[0].buttons, MsgBox::YesNo);
        } else {
            QVERIFY(prompts.boxes.isEmpty());
        }
    }

    // A Latin-1 document shows its bytes as Latin-1; what it cannot hold
    // becomes '?' and nothing else changes.
    void latin1Document()
    {
        SourceEditor editor;
        editor.setText("caf\xe9\r\n");
        editor.selectAll();
        QCOMPARE(editor.selectedText(), QString::fromUtf8("caf\xc3\xa9\r\n"));
        editor.SendScintilla(QsciScintilla::SCI_SETSEL, 4, 4);
        editor.replaceSelection(QString::fromUtf8("\xe2\x82\xac\xc3\xbc"));
        QCOMPARE(editor.text(), QByteArray("caf\xe9?\xfc\r\n"));
    }

    // A screen reader gets the text, caret and selection in characters when it asks.
    void accessibleAnswersOnDemand()
    {
        SourceEditor editor;
        editor.show();
        editor.setText("caf\xc3\xa9\r\nret");
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&editor);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QAccessibleTextInterface *text = accessible->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 9);
        QCOMPARE(text->text(0, 4), QString::fromUtf8("caf\xc3\xa9"));
        QCOMPARE(accessible->text(QAccessible::Value), QString::fromUtf8("caf\xc3\xa9\r\nret"));
        editor.SendScintilla(QsciScintilla::SCI_GOTOPOS, 7); // bytes: "caf", two for the e, CR LF
        QCOMPARE(text->cursorPosition(), 6);
        text->setSelection(0, 4, 9);
        QCOMPARE(editor.selectedText(), QString("\r\nret"));
        int start = -1, end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(QPair(start, end), QPair(4, 9));
        accessible->editableTextInterface()->replaceText(0, 4, "ld");
        QCOMPARE(editor.text(), QByteArray("ld\r\nret"));
    }

    // The editor's own paste keys, its context menu and drops from other
    // programs insert the text as it is, too.
    void editorPasteKeepsLineEnds()
    {
        SourceEditor editor;
        editor.show();
        editor.setText("x");
        editor.SendScintilla(QsciScintilla::SCI_GOTOPOS, 1);
        QGuiApplication::clipboard()->setText("\na\rb\r\n");
        QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor.text(), QByteArray("x\na\rb\r\n"));
        QTest::keyClick(&editor, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(editor.text(), QByteArray("x\na\rb\r\n\na\rb\r\n"));

        editor.setText("");
        std::unique_ptr<QMenu> menu(editor.createStandardContextMenu());
        QAction *paste = nullptr;
        for (QAction *action : menu->actions())
            if (action->text().remove('&') == "Paste")
                paste = action;
        QVERIFY(paste);
        paste->trigger();
        QCOMPARE(editor.text(), QByteArray("\na\rb\r\n"));

        // Text dropped from another program.
        editor.setText("");
        QMimeData dragged;
        dragged.setText("x\ny\r");
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QApplication::sendEvent(editor.viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QApplication::sendEvent(editor.viewport(), &drop);
        QCOMPARE(editor.text(), QByteArray("x\ny\r"));
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
