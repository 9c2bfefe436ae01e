// Toolbar keys pick their command by exact key; anything else does nothing.

#include "fakes.h"

#include "app/commands.h"
#include "compile/process_launcher.h"
#include "ui/source_editor.h"
#include "ui/system_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

class TestToolbarDispatch : public QObject
{
    Q_OBJECT

private slots:
    void dispatch_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("effect");

        QTest::newRow("New") << "New" << "box:New Source";
        QTest::newRow("Open") << "Open" << "dialog:Load Source File";
        QTest::newRow("Save") << "Save" << "dialog:Save Source File";
        QTest::newRow("Compile is the custom command line") << "Compile" << "input:Custom Compile";
        QTest::newRow("Cut") << "Cut" << "clipboard:abc text:";
        QTest::newRow("Paste") << "Paste" << "clipboard:old text:old";
        QTest::newRow("Copy") << "Copy" << "clipboard:abc text:abc";
        for (const char *key : {"new", "COPY", "compile", "", " Save", "Exit", "Help", "Unknown"})
            QTest::newRow(qPrintable(QString("ignored '%1'").arg(key))) << key << "nothing";
    }

    void dispatch()
    {
        QFETCH(QString, key);
        QFETCH(QString, effect);

        SourceEditor editor;
        SystemClipboard clipboard;
        FakePrompts prompts;
        prompts.answer = MsgBox::No;
        FakeFileDialog dialog; // cancels
        ProcessLauncher launcher;
        CountingWindows windows;
        Commands commands(Platform{editor, clipboard, prompts, dialog, launcher, windows, {}});

        editor.setText("abc");
        editor.selectAll();
        QGuiApplication::clipboard()->setText("old");

        commands.toolbarButtonClick(key);

        // The first thing the command showed, or what it did to the text.
        QString seen;
        if (!prompts.inputs.isEmpty())
            seen = "input:" + prompts.inputs.first().section('|', 1);
        else if (!prompts.boxes.isEmpty())
            seen = "box:" + prompts.boxes.first().title;
        else if (dialog.shown)
            seen = "dialog:" + dialog.title;
        if (seen.isEmpty() && QGuiApplication::clipboard()->text() != "old")
            seen = "clipboard:" + QGuiApplication::clipboard()->text() + " text:" + editor.text();
        if (seen.isEmpty() && editor.text() != "abc")
            seen = "clipboard:old text:" + editor.text();
        QCOMPARE(seen.isEmpty() ? QString("nothing") : seen, effect);
        QVERIFY(windows.ended + windows.abouts + windows.helps == 0);
    }
};

QTEST_MAIN(TestToolbarDispatch)
#include "tst_toolbar_dispatch.moc"
