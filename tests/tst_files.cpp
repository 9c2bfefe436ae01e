// Load and Save: the way a save takes, decided from made-up facts; every
// system call it makes, in order and failing in turn; and the real file system
// as root and as an ordinary user.

#include "fakes.h"
#include "test_files.h"

#include "document/save_choice.h"
#include "document/source_files.h"
#include "document/system_calls.h"
#include "document/text_file.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using TextFile::SaveFacts, TextFile::SaveWay, TextFile::systemError;
const QByteArray text = QByteArray("\0\x80\xff ld a,$FF\r\n", 14).repeated(60);

// Some megabytes, saved a megabyte at a time: no two pieces alike, as 1 MiB is
// no multiple of 840 or 841 bytes, so that one put at the wrong offset shows.
const QByteArray older = text.repeated(4000), newer = (text + '+').repeated(5600);

// What makes a file what it is, beyond its bytes: its kind and mode, owner,
// links, ACL and extended attributes; a link's own, not its target's; "" for
// no file.
QString identity(const QString &path)
{
    QProcess sh;
    sh.start("sh", {"-c", "stat -c '%f %u:%g %h' \"$1\" && getfattr -hdm- -ehex --absolute-names \"$1\"", "sh", path});
    return sh.waitForFinished() && sh.exitCode() == 0 ? sh.readAll() : QString();
}

// Sees a save's system calls as "call what" ("fsync temporary"); fails those
// in `failing` the `at`-th time, or from the -`at`-th time on as a disk gone
// bad does, and `refused` the first time, as a closed folder or file refuses.
struct Recorder : TextFile::SystemCalls
{
    QStringList failing, calls;
    int at, error;
    QString refused;
    QString plantBefore; // "call what N": another program then puts `plant` in the file's place
    QByteArray plant;


    bool allow(const char *call, int fd, const char *path) override
    {
        static const QHash<QString, QString> roles{
            {"files/f", "file"}, {"files", "folder"}, {"files/.f.tarnell-save-", "temporary"},
            {"files/.f.tarnell-old-", "copy"}, {"state/tarnell", "state"}, {"cache/tarnell", "cache"},
            {"state/tarnell/f.tarnell-old-", "state copy"}, {"cache/tarnell/f.tarnell-old-", "cache copy"}};
        QString name = path ? QFile::decodeName(path) : QFile::symLinkTarget(QString("/proc/self/fd/%1").arg(fd));
        name = QDir::current().relativeFilePath(name).remove(QRegularExpression("(?<=-save-|-old-)\\w{6}$"));
        calls << call + (' ' + roles.value(name, name));
        const int times = calls.count(calls.last());
        if (calls.last() + ' ' + QString::number(times) == plantBefore)
            (void)(writeAll("files/new", plant) && ::rename("files/new", "files/f") == 0);
        const bool fails = failing.contains(calls.last()) && (times == at || (at < 0 && times >= -at));
        errno = calls.last() == refused && times == 1 ? EACCES : fails ? error : 0;
        return errno == 0;
    }
};

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    // As the program does; programIgnoresFileSizeLimitSignal checks that it does.
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }
    // Load, Save and failingCall move into a folder that goes with the row.
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void choice_data()
    {
        QTest::addColumn<SaveFacts>("facts");
        QTest::addColumn<SaveWay>("way");
        const auto row = [](const char *name, void (*change)(SaveFacts &), SaveWay way) {
            SaveFacts facts{.user = 1000, .groups = {1000, 24}, .owner = 1000, .group = 1000, .mode = S_IFREG | 0644,
                            .size = 5, .folderWritable = true, .readable = true};
            change(facts);
            QTest::newRow(name) << facts << way;
        };
        row("own file", [](SaveFacts &) {}, SaveWay::Rename);
        row("made by this save", [](SaveFacts &f) { f.created = true, f.size = 0, f.mode = S_IFREG; }, SaveWay::Rename);
        row("group a supplementary one", [](SaveFacts &f) { f.group = 24; }, SaveWay::Rename);
        row("root's file of any group", [](SaveFacts &f) { f.user = f.owner = 0, f.groups = {0}; }, SaveWay::Rename);
        row("unreadable, one name", [](SaveFacts &f) { f.readable = false; }, SaveWay::Rename);
        row("hard link", [](SaveFacts &f) { f.links = 2; }, SaveWay::CopyBeside);
        row("another user's file", [](SaveFacts &f) { f.owner = 0; }, SaveWay::CopyBeside);
        row("root, another user's file", [](SaveFacts &f) { f.user = 0, f.groups = {0}; }, SaveWay::CopyBeside);
        row("group not the user's own", [](SaveFacts &f) { f.group = 25; }, SaveWay::CopyBeside);
        row("setuid", [](SaveFacts &f) { f.mode |= S_ISUID; }, SaveWay::CopyBeside);
        row("setgid", [](SaveFacts &f) { f.mode |= S_ISGID; }, SaveWay::CopyBeside);
        row("sticky", [](SaveFacts &f) { f.mode |= S_ISVTX; }, SaveWay::CopyBeside);
        row("attributes not copied", [](SaveFacts &f) { f.newFileAlike = false; }, SaveWay::CopyBeside);
        row("unwritable folder", [](SaveFacts &f) { f.folderWritable = false; }, SaveWay::CopyInStateFolder);
        row("name now leads elsewhere", [](SaveFacts &f) { f.sameFile = false; }, SaveWay::CopyInStateFolder);
        row("unreadable hard link", [](SaveFacts &f) { f.readable = false, f.links = 2; }, SaveWay::Rewrite);
        row("empty hard link", [](SaveFacts &f) { f.size = 0, f.links = 2; }, SaveWay::Rewrite);
        row("read-only", [](SaveFacts &f) { f.mode = S_IFREG | 0444; }, SaveWay::Refuse);
        row("read-only, for root too", [](SaveFacts &f) { f.mode = S_IFREG | 0440, f.user = 0; }, SaveWay::Refuse);
    }

    // The way a save takes keeps the file what it was, and its old text whole
    // on disk while the file itself is rewritten.
    void choice()
    {
        QFETCH(SaveFacts, facts);
        QFETCH(SaveWay, way);
        QCOMPARE(int(TextFile::chooseSaveWay(facts)), int(way));
    }

    void failingCall_data()
    {
        // "rename", "new" (no file yet), "raced" (another program makes it as
        // the save does) and "swapped" (another program renames a file over
        // it as the save opens it) save by rename; "beside" (a setuid hard link),
        // "state" (its folder closed), "theirs" (the same, the state folder
        // another user's) and "unreadable" (a hard link opened write-only)
        // rewrite in place, the last three with shorter text.
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("fail");    // "call what|call what N": fail the Nth time; "N on": and after
        QTest::addColumn<QString>("outcome"); // "new", "old", "none", "part" (perhaps part new), and
                                              // where a copy was kept or could not be
        QTest::addColumn<QString>("calls");   // the calls in order when none fails, as a pattern
        const auto row = [](const char *scenario, const char *fail, const char *outcome, const char *calls = "") {
            QTest::addRow("%s: %s, %s", scenario, *fail ? fail : "in order", outcome)
                << QString(scenario) << QString(fail) << QString(outcome) << QString(calls);
        };
        row("rename", "", "new",
            "open file, stat file, faccessat folder, mkostemp temporary, (fchown temporary, )?fchmod temporary, "
            "(flistxattr file, )+(flistxattr temporary, )+(fgetxattr file, )*(fsetxattr temporary, )*"
            "(pwrite temporary, )+fsync temporary, close temporary, rename temporary, open folder, fsync folder");
        row("beside", "", "new",
            "open file, stat file, faccessat folder, mkostemp copy, (pread file, pwrite copy, )+fsync copy, open folder, "
            "fsync folder, fallocate file, (pwrite file, )+ftruncate file, fchmod file, fdatasync file, unlink copy");
        row("state", "", "new",
            "open file, stat file, faccessat folder, mkdir state, open state, fchmod state, mkostemp state copy, "
            "(pread file, pwrite state copy, )+fsync state copy, open state, fsync state, (pwrite file, )+"
            "ftruncate file, fdatasync file, unlink state copy");
        row("unreadable", "", "new",
            "open file, open file, stat file, faccessat folder, (pwrite file, )+ftruncate file, fdatasync file");
        row("rename", "mkostemp temporary 1", "new");
        row("rename", "fchown temporary 1", "new");
        row("rename", "fchmod temporary 1", "new");
        row("rename", "fsetxattr temporary 1", "new");
        row("rename", "pwrite temporary 2", "old");
        row("rename", "fsync temporary 1", "old");
        row("rename", "close temporary 1", "old");
        row("rename", "rename temporary 1", "old");
        row("rename", "fsync folder 1", "new");
        row("rename", "flistxattr temporary 1", "new", ".*rename temporary.*");
        row("new", "pwrite temporary 1", "none");
        row("new", "mkostemp temporary|pwrite file 1", "none");
        row("raced", "rename temporary 1", "old");
        row("swapped", "", "new");
        row("beside", "mkostemp copy 1", "old, no copy in files");
        row("beside", "pwrite copy 3", "old, no copy in files");
        row("beside", "fsync copy 1", "old, no copy in files");
        row("beside", "fallocate file 1", "old");
        row("beside", "fallocate file 1", "new");
        row("beside", "pwrite file 3", "old");
        row("beside", "ftruncate file 1", "old");
        row("beside", "fchmod file 1", "old");
        row("beside", "fdatasync file 1", "old");
        row("beside", "pwrite file 3 on", "part, old text in files");
        row("beside", "fdatasync file 1 on", "part, old text in files");
        row("state", "open state 1", "new");
        row("state", "open state|open cache 1", "old, no copy in cache/tarnell");
        row("state", "mkdir state|mkdir cache 1", "old, no copy in cache/tarnell");
        row("state", "mkostemp state copy 1", "old, no copy in state/tarnell");
        row("state", "pwrite file 2", "old");
        row("theirs", "mkostemp cache copy 1", "old, no copy in cache/tarnell");
        row("state", "pwrite file 2 on", "part, old text in state/tarnell");
        row("unreadable", "pwrite file 2", "part");
    }

    // A failed save leaves the old text whole in the file, or in a copy it
    // names, and says why; the calls that make it whole come in that order.
    void failingCall()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, fail);
        QFETCH(QString, outcome);
        QFETCH(QString, calls);
        QTemporaryDir made;
        const QString root = QDir(made.path()).canonicalPath(), path = root + "/files/f";
        if (scenario == "theirs" && geteuid() != 0)
            QSKIP("only root can open another user's closed state folder");
        const bool inState = scenario == "state" || scenario == "theirs", shorter = inState || scenario == "unreadable";
        const QByteArray &old = shorter ? newer : older, &fresh = shorter ? older : newer;
        QVERIFY(QDir(root).mkdir("files") && (scenario == "new" || scenario == "raced" || writeAll(path, old)));
        QVERIFY(QDir::setCurrent(root)); // where the setup runs, and the calls' files are named from
        // A file saved by rename keeps its attributes where the file system has them, and for root a group
        // that is not root's; a state folder open to others is closed by the save.
        const QString setup = scenario == "new" || scenario == "raced" ? ":" : scenario == "theirs" ? "ln f g && chown 4242 ../state/tarnell"
                              : scenario == "beside" ? "ln f g && chmod 4755 f" : scenario != "rename" ? "ln f g"
                              : "{ setfattr -n user.note -v kept f || :; } && { [ $(id -u) != 0 ] || chgrp 4242 f; }";
        QCOMPARE(QProcess::execute("sh", {"-ec", "mkdir -p state/tarnell && cd files && " + setup}), 0);
        const QString before = identity(path);
        qputenv("XDG_STATE_HOME", QFile::encodeName(root + "/state"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(root + "/cache"));
        const QRegularExpressionMatch failure = QRegularExpression("^(.+) (\\d+)( on)?$").match(fail);
        Recorder system;
        system.failing = failure.captured(1).split('|');
        system.at = failure.hasCaptured(3) ? -failure.captured(2).toInt() : failure.captured(2).toInt();
        // ENOSPC, but where the save gets past it: a file system without fallocate or attributes
        system.error = outcome == "new" ? EOPNOTSUPP : ENOSPC;
        system.plantBefore = scenario == "raced" ? "open file 2" : scenario == "swapped" ? "stat file 1" : "";
        system.plant = old;
        system.refused = inState ? "faccessat folder" : scenario == "unreadable" ? "open file" : "";
        TextFile::SaveError error;
        const bool saved = TextFile::write(system, path, fresh, error);

        const QString order = system.calls.join(", ");
        QVERIFY2(calls.isEmpty() || QRegularExpression("^(" + calls + ")$").match(order).hasMatch(), qPrintable(order));
        const QString fate = outcome.section(", ", 0, 0), where = root + '/' + outcome.section(" in ", 1);
        QCOMPARE(saved, fate == "new");
        const QByteArray now = readAll(path); // and damaged only where the text may be part new
        QVERIFY(error.damaged ? fate == "part" : now == (fate == "new" ? fresh : fate == "old" ? old : "<unreadable>"));
        const QString noCopy = "Could not keep a copy of its old text in " + where + ": ";
        QCOMPARE(error.reason, fate == "new" ? "" : (outcome.contains("no copy") ? noCopy : "") + systemError(ENOSPC));
        if (system.plantBefore.isEmpty()) // mode, owner, links, attributes; none where there was no file
            QCOMPARE(identity(path), before);
        QStringList left; // anything but the file and its other name
        for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            if (const QString name = it.next(); name != path && name != root + "/files/g")
                left << name;
        QCOMPARE(left, outcome.contains("old text in") ? QStringList{error.oldCopy} : QStringList());
        QVERIFY(left.isEmpty() || (QFileInfo(left[0]).path() == where && readAll(left[0]) == old));
    }

    // The same as an ordinary user, whom writing strips of setuid bits and
    // to whom other users' folders are closed; from a copy of this test.
    void failingCallAsUser()
    {
        if (geteuid() != 0)
            QSKIP("failingCall ran as an ordinary user already");
        QTemporaryDir made;
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), made.filePath("tst_files")));
        QVERIFY(QFile::setPermissions(made.path(), QFile::permissions(made.path()) | QFile::ReadOther | QFile::ExeOther));
        const QStringList user{"--reuid=65534", "--regid=65534", "--clear-groups"};
        QCOMPARE(QProcess::execute("setpriv", user + QStringList{made.filePath("tst_files"), "-silent", "failingCall"}), 0);
    }

    void save_data()
    {
        QTest::addColumn<QString>("setup");     // shell commands, run as root in an empty folder; 77: not here.
                                                // Then f there is saved, be it a file, a link or a FIFO.
        QTest::addColumn<QString>("reason");    // "" when the save succeeds
        QTest::addColumn<QStringList>("under"); // a command to save under, in a copy of this test
        const QStringList user{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        const auto row = [](const char *name, const char *setup, const char *why = "", const QStringList &under = {}) {
            QTest::newRow(name) << QString(setup) << QString(why) << under;
        };
        row("setuid file", "chmod 777 . && echo old >f && chown 65534 f && chmod 4755 f", "", user);
        row("unwritable folder", "chmod 755 . && echo old >f && chown 65534 f", "", user);
        row("write-only file", "chmod 755 . && echo old >f && chown 65534 f && chmod 200 f", "", user);
        row("write-only FIFO", "chmod 755 . && mkfifo -m 200 f && chown 65534 f", "No such device or address", user);
        row("symbolic link", "echo old >t && chmod 640 t && ln -s t f");
        row("link to no file", "ln -s t f");
        row("symbolic link loop", "ln -s f f", "Too many levels of symbolic links");
        row("planted symbolic link", "grep -qx 1 /proc/sys/fs/protected_symlinks || exit 77; chmod 1777 . &&"
            " echo old >t && ln -s t f && chown -h 4243 f", "Permission denied");
        row("size limit, in place", "echo old >f && ln f g", "File too large", {"prlimit", "--fsize=500"});
        row("named user in the ACL", "echo old >f && chmod 640 f && { setfacl -m u:4243:rw f || exit 77; }");
        row("folder's default ACL", "echo old >f && chmod 600 f && { setfacl -d -m u:4243:rw . || exit 77; }");
    }

    // A save gives the file the editor's bytes and leaves it what it was; a
    // failed one says why. The save itself runs in a copy of this test, under
    // the row's command, as another user or with a size limit.
    void save()
    {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        QFETCH(QStringList, under);
        const QString given = qEnvironmentVariable("TST_FILES_FOLDER"); // set up already: this is that copy
        if (!given.isEmpty()) {
            alarm(20); // a save that blocks ends this run
            QTemporaryDir state; // for a copy of the old bytes, where the file's folder is closed
            qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
            TextFile::SaveError error;
            QCOMPARE(TextFile::write(given + "/f", text, error), reason.isEmpty());
            QCOMPARE(error.reason, reason);
            return;
        }
        QTemporaryDir made;
        const int status = QProcess::execute("sh", {"-ec", "cd \"$1\"; " + setup, "sh", made.path()});
        if (status == 77 || (geteuid() != 0 && (status != 0 || under.value(0) == "setpriv")))
            QSKIP("needs root to set up or to save as another user, or what this system lacks: ACLs, protected links");
        QVERIFY2(status == 0, "setup failed");
        // A copy of this test that the user may run, where it saves.
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), made.filePath("tst_files")));
        const QString file = made.filePath("f");
        const QByteArray old = readAll(file);
        const QString before = identity(file);
        const QStringList command = under + QStringList{"env", "TST_FILES_FOLDER=" + made.path(),
            made.filePath("tst_files"), "-silent", QString("save:") + QTest::currentDataTag()};
        QCOMPARE(QProcess::execute(command[0], command.mid(1)), 0);
        QCOMPARE(readAll(file), reason.isEmpty() ? text : old);
        QCOMPARE(identity(file), before);
    }

    // Load takes an empty file as one; a failed Save says why in one box.
    void sourceFiles()
    {
        QTemporaryDir dir;
        FakeEditor editor;
        FakeFileDialog dialog;
        FakePrompts prompts;
        QString workingFolder;
        SourceFiles files(editor, dialog, prompts, workingFolder);
        editor.bytes = text;
        dialog.choice = dir.filePath("empty");
        QVERIFY(writeAll(dialog.choice, {}));
        files.load_project();
        QCOMPARE(editor.bytes, QByteArray());
        dialog.choice = dir.filePath("none/f");
        files.Save();
        QCOMPARE(prompts.shown, QStringList{"error|Save Source File|Could not save " + dialog.choice
                                            + "|No such file or directory. The file on disk was not changed; "
                                              "the text is still in the editor."});
    }

    // A size limit fails a save instead of ending the program with the unsaved
    // text: the program itself ignores the signal from its start, not only
    // this test. Its version, written to a file it may not grow, shows it.
    void programIgnoresFileSizeLimitSignal()
    {
        QTemporaryDir dir;
        const QString run = "ulimit -f 0 && env --default-signal=XFSZ \"$1\" --version >\"$2\"";
        // 1: its output cut short; killed by the signal, the shell says 153
        QCOMPARE(QProcess::execute("sh", {"-c", run, "sh", TARNELL_BINARY, dir.filePath("version")}), 1);
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
