// Load and Save against the real file system: all or nothing, the file left
// what it was, the kernel's own refusals kept, and no read that blocks.

#include "fakes.h"
#include "test_files.h"
#include "unprivileged.h"

#include "document/source_files.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray text = QByteArray("\0\x80\xff ld a,$FF\r\n", 14).repeated(60);

// What makes a file what it is, beyond its bytes; "" when there is none.
QString identity(const QString &path)
{
    struct stat s{};
    return stat(QFile::encodeName(path), &s) ? QString()
                                              : QString::asprintf("mode %o, owner %u:%u, %u names", s.st_mode,
                                                                  s.st_uid, s.st_gid, unsigned(s.st_nlink));
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    // As the program does; programIgnoresFileSizeLimitSignal checks that it does.
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }
    // Load and Save move into the chosen folder, which goes with each row.
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void save_data()
    {
        QTest::addColumn<QString>("setup");  // shell commands, run as root in an empty folder
        QTest::addColumn<QString>("pick");   // what the user picks in the dialog
        QTest::addColumn<QString>("file");   // the file that gets the bytes
        QTest::addColumn<QString>("reason"); // "" when the save succeeds
        // "as user": saves as the unprivileged user; "size limit": 500-byte RLIMIT_FSIZE
        QTest::addColumn<QString>("during");
        const auto row = [](const char *name, const char *setup, const char *pick, const char *file,
                            const char *reason = "", const char *during = "") {
            QTest::newRow(name) << QString(setup) << QString(pick) << QString(file) << QString(reason)
                                << QString(during);
        };
        row("new file", "", "f", "f");
        row("hard link", "echo old >f && ln f g", "f", "g");
        row("symbolic link", "echo old >t && chmod 640 t && ln -s t l", "l", "t");
        row("another user's file", "echo old >f && chmod 640 f && chown 65534:65534 f", "f", "f");
        row("setgid file", "chmod 777 . && echo old >f && chown 65534:65534 f && chmod 2770 f", "f", "f", "", "as user");
        row("unwritable folder", "chmod 755 . && echo old >f && chown 65534 f", "f", "f", "", "as user");
        row("sticky folder", "chmod 1777 . && echo old >f && chgrp 65534 f && chmod 664 f", "f", "f", "", "as user");
        row("read-only file", "echo old >f && chmod 444 f", "f", "f", "Permission denied");
        row("symbolic link loop", "ln -s l l", "l", "l", "Too many levels of symbolic links");
        row("planted symbolic link", "chmod 1777 . && echo old >t && ln -s t l && chown -h 65534 l", "l", "t",
            "Permission denied");
        row("size limit, new file", "", "f", "f", "File too large", "size limit");
        row("size limit, in place", "echo old >f && ln f g", "f", "g", "File too large", "size limit");
    }

    // A save gives the file the editor's bytes and leaves it what it was; a
    // failed one says why in one box and leaves the folder as it was.
    void save()
    {
        QFETCH(QString, setup);
        QFETCH(QString, pick);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QFETCH(QString, during);
        if (QTest::currentDataTag() == QLatin1String("planted symbolic link")
            && readAll("/proc/sys/fs/protected_symlinks").trimmed() != "1")
            QSKIP("fs.protected_symlinks is 0: any program follows such a link");
        QTemporaryDir dir, elsewhere;
        if (QProcess::execute("sh", {"-ec", "cd \"$1\"; " + setup, "sh", dir.path()}) != 0) {
            QVERIFY2(geteuid() != 0, "setup failed");
            QSKIP("needs root to give files to another user");
        }
        pick = dir.filePath(pick);
        file = dir.filePath(file);
        const QByteArray old = readAll(file);
        const QString before = identity(file);
        const QStringList listing = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

        FakeEditor editor;
        FakeFileDialog dialog;
        FakePrompts prompts;
        SourceFiles files(editor, dialog, prompts);
        editor.bytes = text;
        dialog.choice = pick;
        {
            Unprivileged user(during == "as user");
            QCOMPARE(user.switched, during == "as user" && getuid() == 0);
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            const rlimit limit{during == "size limit" ? 500 : saved.rlim_cur, saved.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limit);
            files.Save();
            setrlimit(RLIMIT_FSIZE, &saved);
        }

        QCOMPARE(prompts.shown, reason.isEmpty() ? QStringList() : QStringList{
            "error|Save Source File|Could not save " + pick + "|" + reason
            + ". The file on disk was not changed; the text is still in the editor."});
        QCOMPARE(readAll(file), reason.isEmpty() ? text : old);
        if (!reason.isEmpty())
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), listing);
        // A new file is made as any other program makes one.
        QVERIFY(writeAll(elsewhere.filePath("n"), {}));
        QCOMPARE(identity(file), before.isEmpty() && reason.isEmpty() ? identity(elsewhere.filePath("n")) : before);
    }

    void load_data()
    {
        QTest::addColumn<bool>("fifo"); // else a file with the bytes
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty file") << false << QByteArray() << "";
        QTest::newRow("NUL and 8-bit bytes, in pieces") << false << text << "";
        QTest::newRow("FIFO") << true << QByteArray() << "Not a regular file";
    }

    // The editor gets the file's bytes, or keeps its text when the load fails.
    void load()
    {
        QFETCH(bool, fifo);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("f");
        QVERIFY(fifo ? mkfifo(QFile::encodeName(path), 0600) == 0 : writeAll(path, bytes));
        FakeEditor editor;
        FakeFileDialog dialog;
        FakePrompts prompts;
        SourceFiles files(editor, dialog, prompts);
        editor.bytes = "unsaved";
        dialog.choice = path;
        alarm(20); // a load that blocks ends the test here
        files.load_project();
        alarm(0);
        QCOMPARE(editor.bytes, reason.isEmpty() ? bytes : QByteArray("unsaved"));
        QCOMPARE(prompts.shown, reason.isEmpty() ? QStringList() : QStringList{
            "error|Load Source File|Could not load " + path + "|" + reason + "."});
    }

    // A size limit fails a save instead of ending the program with the unsaved
    // text: the program itself ignores the signal, not only this test.
    void programIgnoresFileSizeLimitSignal()
    {
        QProcess program;
        program.setEnvironment(QProcess::systemEnvironment() << "QT_QPA_PLATFORM=offscreen");
        program.setChildProcessModifier([] { std::signal(SIGXFSZ, SIG_DFL); });
        program.start(TARNELL_BINARY, {});
        QVERIFY(program.waitForStarted());
        const auto ignored = [&program] {
            const QString status = QString("/proc/%1/status").arg(program.processId());
            for (const QByteArray &line : readAll(status).split('\n'))
                if (line.startsWith("SigIgn:"))
                    return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGXFSZ - 1)) & 1;
            return 0ull;
        };
        QTRY_VERIFY(ignored());
        program.kill();
        program.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
