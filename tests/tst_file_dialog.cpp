// The file dialog as the commands use it: it returns what the user picked,
// and its filter matches the source extensions in any letter case.

#include "modal_answerer.h"

#include "ui/form1.h"
#include "ui/source_file_dialog.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <Qsci/qsciscintilla.h>

class TestFileDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config; // stands in for the user's settings folder

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }

    // Nothing of the dialog's history or state is kept between runs.
    void cleanupTestCase()
    {
        QCOMPARE(QDir(m_config.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void filterMatchesAnyCase_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("listed");
        for (const char *name : {"prog.z80", "PROG.Z80", "prog.asm", "Prog.Asm", "lib.inc", "LIB.INC"})
            QTest::newRow(name) << name << true;
        for (const char *name : {"notes.txt", "prog.z8", "prog.asm.bak", "z80"})
            QTest::newRow(name) << name << false;
    }

    void filterMatchesAnyCase()
    {
        QFETCH(QString, file);
        QFETCH(bool, listed);
        const QString description = "TI-83 Plus ASM Formats(*.Z80,*.ASM,*.inc)";
        const QString filter = SourceFileDialog::nameFilter(description + "|*.z80;*.asm;*.inc");
        // Qt shows the part before the pattern list, exactly as written.
        QCOMPARE(filter.section(" (", 0, 0), description);
        const QStringList patterns = filter.section('(', -1).chopped(1).split(' ');
        QCOMPARE(QDir::match(patterns, file), listed);
    }

    // A kept dialog could return the file selected last time instead of the
    // one the user named, when that one appeared after the folder was listed.
    void loadPicksTheChosenFile()
    {
        QTemporaryDir dir;
        auto write = [&dir](const char *name, const QByteArray &bytes) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        QVERIFY(write("first.z80", "first\r\n"));
        Form1 form;
        auto *editor = form.findChild<QsciScintilla *>("Text1");
        ModalAnswerer answerer;
        answerer.fileChoice = dir.filePath("first.z80");
        for (int i = 0; i < 3; ++i) { // the dialog has listed the folder by now
            form.findChild<QAction *>("load_project")->trigger();
            QCOMPARE(editor->text(), QString("first\r\n"));
        }

        QVERIFY(write("second.z80", "second\r\n"));
        answerer.fileChoice = dir.filePath("second.z80");
        form.findChild<QAction *>("load_project")->trigger();
        QCOMPARE(editor->text(), QString("second\r\n"));
    }
};

QTEST_MAIN(TestFileDialog)
#include "tst_file_dialog.moc"
