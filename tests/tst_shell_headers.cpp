// Insert Header: the warning, the template read afresh from the working
// directory, and failures that leave the text alone and say where to look.

#include "fakes.h"
#include "test_files.h"
#include "unprivileged.h"

#include "templates/shell_headers.h"
#include "ui/source_editor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>

using Command = void (ShellHeaders::*)();
Q_DECLARE_METATYPE(Command)

class TestShellHeaders : public QObject
{
    Q_OBJECT

    QString m_originalDir;

    struct Setup
    {
        SourceEditor editor;
        FakePrompts prompts;
        ShellHeaders headers{editor, prompts, "/usr/share/tarnell"};
    };

private slots:
    void initTestCase() { m_originalDir = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_originalDir); }

    void insert_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("answer");
        for (int answer : {MsgBox::Yes, MsgBox::No}) {
            const char *suffix = answer == MsgBox::Yes ? ", Yes" : ", No";
            QTest::addRow("ion%s", suffix) << &ShellHeaders::ion << "ion.txt" << answer;
            QTest::addRow("mirage_os%s", suffix) << &ShellHeaders::mirage_os << "mirage.txt" << answer;
            QTest::addRow("tse%s", suffix) << &ShellHeaders::tse << "tse.txt" << answer;
            QTest::addRow("plus_asm%s", suffix) << &ShellHeaders::plus_asm << "ti83plus.txt" << answer;
        }
    }

    void insert()
    {
        QFETCH(Command, command);
        QFETCH(QString, file);
        QFETCH(int, answer);
        QTemporaryDir dir;
        const QByteArray header = "; " + file.toLatin1() + "\r\n.db $BB,$6D\n\0\xe9\r\n";
        for (const char *name : {"ion.txt", "mirage.txt", "tse.txt", "ti83plus.txt"})
            QVERIFY(writeAll(dir.filePath(name), name == file ? header : QByteArray("wrong")));
        QVERIFY(QDir::setCurrent(dir.path()));

        Setup s;
        s.editor.setText("unsaved\r\nwork");
        s.editor.SendScintilla(QsciScintilla::SCI_SETSEL, 2, 9);
        s.prompts.answer = answer;
        (s.headers.*command)();

        QCOMPARE(s.prompts.boxes.size(), 1);
        QCOMPARE(s.prompts.boxes[0].prompt, QString("This will erase your current file! Do you wish to proceed?"));
        QCOMPARE(s.prompts.boxes[0].title, QString("Warning"));
        QCOMPARE(s.prompts.boxes[0].buttons, MsgBox::YesNo);
        if (answer == MsgBox::No) {
            QCOMPARE(s.editor.text(), QByteArray("unsaved\r\nwork"));
            QCOMPARE(s.editor.selectedText(), QString("saved\r\n"));
            return;
        }
        QCOMPARE(s.editor.text(), header);
        s.editor.undo(); // one step back to the discarded text
        QCOMPARE(s.editor.text(), QByteArray("unsaved\r\nwork"));
    }

    // The template is read from wherever the working directory is now, afresh.
    void readsCurrentFolderAfresh()
    {
        QTemporaryDir first, second;
        QVERIFY(writeAll(first.filePath("tse.txt"), "first"));
        QVERIFY(writeAll(second.filePath("tse.txt"), "second"));
        Setup s;
        QVERIFY(QDir::setCurrent(first.path()));
        s.headers.tse();
        QCOMPARE(s.editor.text(), QByteArray("first"));
        QVERIFY(QDir::setCurrent(second.path()));
        s.headers.tse();
        QCOMPARE(s.editor.text(), QByteArray("second"));
        QVERIFY(writeAll(second.filePath("tse.txt"), "edited"));
        s.headers.tse();
        QCOMPARE(s.editor.text(), QByteArray("edited"));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing" << "No such file or directory";
        QTest::newRow("empty") << "empty" << "The file is empty";
        QTest::newRow("directory") << "directory" << "Is a directory";
        QTest::newRow("unreadable") << "unreadable" << "Permission denied";
    }

    void failures()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QCOMPARE(chmod(QFile::encodeName(dir.path()).constData(), 0777), 0); // open to the other user
        const QString path = dir.filePath("mirage.txt");
        if (kind == "empty" || kind == "unreadable")
            QVERIFY(writeAll(path, kind == "empty" ? "" : "x"));
        if (kind == "unreadable")
            QCOMPARE(chmod(QFile::encodeName(path).constData(), 0200), 0);
        if (kind == "directory")
            QVERIFY(QDir(dir.path()).mkdir("mirage.txt"));
        QVERIFY(QDir::setCurrent(dir.path()));

        Setup s;
        s.editor.setText("keep me");
        {
            std::optional<Unprivileged> user;
            if (kind == "unreadable")
                user.emplace();
            s.headers.mirage_os();
        }

        QCOMPARE(s.prompts.boxes.size(), 2); // the warning, then the error
        const ShownBox box = s.prompts.boxes[1];
        QCOMPARE(box.buttons, MsgBox::Critical);
        QVERIFY2(box.prompt.contains(QDir(dir.path()).canonicalPath() + "/mirage.txt"), qPrintable(box.prompt));
        QVERIFY2(box.details.contains(reason), qPrintable(box.details));
        QVERIFY(box.details.contains("/usr/share/tarnell"));
        QCOMPARE(s.editor.text(), QByteArray("keep me"));
    }
};

QTEST_MAIN(TestShellHeaders)
#include "tst_shell_headers.moc"
