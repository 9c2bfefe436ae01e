// Load Project and Save through the file dialog: byte for byte, the names the
// dialog remembers, and failures that lose nothing and say why.

#include "fakes.h"
#include "test_files.h"
#include "unprivileged.h"

#include "document/source_files.h"
#include "ui/source_editor.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Holds a file-size limit for as long as it lives, as a full disk would.
struct FileSizeLimit
{
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

} // namespace

class TestSourceFiles : public QObject
{
    Q_OBJECT

    QString m_originalDir;

    struct Setup
    {
        SourceEditor editor;
        FakeFileDialog dialog;
        FakePrompts prompts;
        SourceFiles files{editor, dialog, prompts};
    };

private slots:
    void initTestCase() { m_originalDir = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_originalDir); }

    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CR LF") << QByteArray("start:\r\n    ret\r\n");
        QTest::newRow("LF") << QByteArray("start:\n    ret\n");
        QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd\r\r\n");
        QTest::newRow("NUL and high bytes") << QByteArray("\0\x80\xff\xe9\r\n\0", 7);
        QTest::newRow("no final line end") << QByteArray("    ret");
    }

    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("prog.z80");
        Setup s;
        s.editor.setText(bytes);
        s.dialog.choice = path;
        s.files.Save();
        QCOMPARE(s.dialog.title, QString("Save Source File"));
        QCOMPARE(s.dialog.filter, QString("TI-83 Plus ASM Formats(*.Z80,*.ASM,*.inc)|*.asm;*.Z80;*.inc"));
        QCOMPARE(s.dialog.mode, FileDialog::Mode::Save);
        QCOMPARE(readAll(path), bytes);

        Setup other;
        other.editor.setText("unsaved work");
        other.dialog.choice = path;
        other.files.load_project();
        QCOMPARE(other.dialog.title, QString("Load Source File"));
        QCOMPARE(other.dialog.filter, QString("TI-83 Plus ASM Formats(*.Z80,*.ASM,*.inc)|*.z80;*.asm;*.inc"));
        QCOMPARE(other.dialog.mode, FileDialog::Mode::Open);
        QCOMPARE(other.editor.text(), bytes);
        QVERIFY(other.prompts.boxes.isEmpty());
    }

    void rememberedNames()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.asm"), b = dir.filePath("b.z80"), c = dir.filePath("noext");
        QVERIFY(writeAll(b, "b\r\n"));
        Setup s;

        // A load before any save leaves the dialog offering nothing.
        s.dialog.choice = b;
        s.files.load_project();
        QCOMPARE(s.dialog.offered, QString());
        s.dialog.choice = a;
        s.files.Save();
        QCOMPARE(s.dialog.offered, QString());
        QCOMPARE(s.files.currentFileName(), a);

        // Save A, load B: the next Save offers A again.
        s.dialog.choice = b;
        s.files.load_project();
        QCOMPARE(s.dialog.offered, a);
        QCOMPARE(s.files.dialogFileName(), a);
        QCOMPARE(s.files.currentFileName(), a);
        s.dialog.choice = c;
        s.files.Save();
        QCOMPARE(s.dialog.offered, a);
        QVERIFY(QFile::exists(c)); // no extension is added
        QCOMPARE(s.files.currentFileName(), c);
    }

    void cancelChangesNothing()
    {
        QTemporaryDir dir;
        const QString saved = dir.filePath("saved.asm");
        Setup s;
        s.editor.setText("v1");
        s.dialog.choice = saved;
        s.files.Save();
        s.editor.setText("v2");

        s.dialog.choice.clear(); // the user cancels both dialogs
        s.files.Save();
        s.files.load_project();
        QCOMPARE(readAll(saved), QByteArray("v1"));
        QCOMPARE(s.editor.text(), QByteArray("v2"));
        QCOMPARE(s.files.currentFileName(), saved);
        QCOMPARE(s.files.dialogFileName(), saved);
        QVERIFY(s.prompts.boxes.isEmpty());
    }

    // An empty file is an empty editor; the old text is one undo away.
    void zeroLengthFileLoadsEmpty()
    {
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath("empty.asm"), {}));
        Setup s;
        s.editor.setText("old");
        s.dialog.choice = dir.filePath("empty.asm");
        s.files.load_project();
        QCOMPARE(s.editor.text(), QByteArray());
        s.editor.undo();
        QCOMPARE(s.editor.text(), QByteArray("old"));
    }

    void workingDirectoryFollowsChoice()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        const QString path = dir.filePath("sub/prog.z80");
        QVERIFY(writeAll(path, "x"));
        Setup s;
        s.dialog.choice = path;
        s.files.load_project();
        QCOMPARE(QDir::currentPath(), QDir(dir.filePath("sub")).canonicalPath());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("command"); // load or save
        QTest::addColumn<QString>("target");  // what the user picks, made by the test
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("unprivileged");

        QTest::newRow("load missing") << "load" << "missing" << "No such file or directory" << false;
        QTest::newRow("load directory") << "load" << "directory" << "Is a directory" << false;
        QTest::newRow("load FIFO") << "load" << "fifo" << "Not a regular file" << false;
        QTest::newRow("load unreadable") << "load" << "unreadable" << "Permission denied" << true;
        QTest::newRow("save directory") << "save" << "directory" << "Is a directory" << false;
        QTest::newRow("save missing folder") << "save" << "nofolder/x.asm" << "No such file or directory"
                                             << false;
        QTest::newRow("save full disk") << "save" << "existing" << "File too large" << false;
        QTest::newRow("save read-only file") << "save" << "readonly" << "Permission denied" << false;
        QTest::newRow("save read-only folder") << "save" << "lockedfolder/x.asm" << "Permission denied" << true;
    }

    // Each failure shows one error box naming the file and the reason; the
    // editor text and the file on disk stay as they were.
    void failures()
    {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QFETCH(bool, unprivileged);

        QTemporaryDir dir;
        QCOMPARE(chmod(QFile::encodeName(dir.path()).constData(), 0777), 0); // open to the other user
        const QString path = dir.filePath(target);
        const QByteArray old(100, 'o');
        if (target == "directory")
            QVERIFY(QDir(dir.path()).mkdir(target));
        else if (target == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (target != "missing" && !target.contains('/'))
            QVERIFY(writeAll(path, old));
        if (target == "unreadable" || target == "readonly")
            QCOMPARE(chmod(QFile::encodeName(path).constData(), target == "unreadable" ? 0200 : 0444), 0);
        if (target.startsWith("lockedfolder")) {
            QVERIFY(QDir(dir.path()).mkdir("lockedfolder"));
            QVERIFY(QFile::setPermissions(dir.filePath("lockedfolder"), QFile::ReadOwner | QFile::ExeOwner));
        }

        Setup s;
        const QByteArray text(1000, 'n');
        s.editor.setText(text);
        s.dialog.choice = path;
        {
            std::optional<Unprivileged> user;
            if (unprivileged)
                user.emplace();
            if (command == "load") {
                s.files.load_project();
            } else {
                FileSizeLimit limit(target == "existing" ? 500 : RLIM_INFINITY);
                s.files.Save();
            }
        }

        QCOMPARE(s.prompts.boxes.size(), 1);
        const ShownBox box = s.prompts.boxes.first();
        QCOMPARE(box.buttons, MsgBox::Critical);
        QCOMPARE(box.title, QString(command == "load" ? "Load Source File" : "Save Source File"));
        QVERIFY2(box.prompt.contains(path), qPrintable(box.prompt));
        QVERIFY2(box.details.contains(reason), qPrintable(box.details));
        QCOMPARE(s.editor.text(), text);
        if (QFileInfo(path).isFile() && target != "unreadable")
            QCOMPARE(readAll(path), old);
        if (command == "save") // the next Save offers the name the user chose
            QCOMPARE(s.files.currentFileName(), path);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(".asm.").size(), 0);
    }

    // Whatever a file holds, loading it and saving it again gives the same bytes.
    void loadThenSaveKeepsRandomBytes()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath("in.z80"), out = dir.filePath("out.z80");
        QRandomGenerator random(9072001);
        Setup s;
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes(random.bounded(1, 600), Qt::Uninitialized);
            for (char &byte : bytes)
                byte = random.bounded(4) == 0 ? "\r\n\0"[random.bounded(3)] : char(random.bounded(256));
            QVERIFY(writeAll(in, bytes));
            s.dialog.choice = in;
            s.files.load_project();
            s.dialog.choice = out;
            s.files.Save();
            if (readAll(out) != bytes)
                QFAIL(qPrintable(QString("round %1: %2").arg(round).arg(QString(bytes.toHex()))));
        }
        QVERIFY(s.prompts.boxes.isEmpty());
    }

    void largeFile()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath("big.z80"), out = dir.filePath("copy.z80");
        QByteArray line = "label: ld a,$FF ; a line of about forty bytes\r\n";
        QByteArray bytes;
        bytes.reserve(100 * 1024 * 1024 + line.size());
        while (bytes.size() < 100 * 1024 * 1024)
            bytes += line;
        bytes += QByteArray("\0\xff end", 6);
        QVERIFY(writeAll(in, bytes));
        Setup s;
        s.dialog.choice = in;
        s.files.load_project();
        s.dialog.choice = out;
        s.files.Save();
        QVERIFY(s.prompts.boxes.isEmpty());
        QCOMPARE(QFileInfo(out).size(), bytes.size());
        QVERIFY(readAll(out) == bytes);
    }

    void savedFileKeepsPermissionsAndLink_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("0600") << 0600 << false;
        QTest::newRow("0755") << 0755 << false;
        QTest::newRow("0644 through a symbolic link") << 0644 << true;
    }

    void savedFileKeepsPermissionsAndLink()
    {
        QFETCH(int, mode);
        QFETCH(bool, throughLink);
        QTemporaryDir dir;
        const QString file = dir.filePath("real.asm"), link = dir.filePath("link.asm");
        QVERIFY(writeAll(file, "old"));
        QCOMPARE(chmod(QFile::encodeName(file).constData(), mode_t(mode)), 0);
        QVERIFY(QFile::link(file, link));

        Setup s;
        s.editor.setText("new\r\n");
        s.dialog.choice = throughLink ? link : file;
        s.files.Save();
        QVERIFY(s.prompts.boxes.isEmpty());
        QCOMPARE(readAll(file), QByteArray("new\r\n"));
        struct stat info{};
        QCOMPARE(stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), mode);
        QVERIFY(QFileInfo(link).isSymLink());
    }
};

QTEST_MAIN(TestSourceFiles)
#include "tst_source_files.moc"
