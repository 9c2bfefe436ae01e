// No input ends or freezes the editor: a file too big for the editor or for
// the memory there is is refused before it is read, and where memory runs out
// in a command, the error box says so and the text stays.

#include "app/commands.h"
#include "document/find_commands.h"
#include "document/memory_check.h"
#include "fakes.h"
#include "ui/source_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <sys/stat.h>

#ifdef __SANITIZE_ADDRESS__
#define ASAN
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ASAN
#endif
#endif
#ifdef ASAN
#define SKIP_UNDER_ASAN QSKIP("AddressSanitizer maps terabytes of shadow memory: no address space limit can be set")
#else
#define SKIP_UNDER_ASAN (void)0
#endif

namespace {

// Memory runs out in every change of the text while `full`.
struct FullEditor : FakeEditor
{
    bool full = false;
    qsizetype asked = -1; // the size of the last text it was to read
    template<typename Call> auto unlessFull(Call call) const { return full ? throw std::bad_alloc() : call(); }
    void replaceText(QByteArrayView b) override { unlessFull([&] { FakeEditor::replaceText(b); }); }
    bool replaceText(qsizetype size, const Source &source) override
    {
        asked = size; // and reads nothing big, so that a file it should not get fails at once
        return unlessFull([&] { return size < 1 << 20 && FakeEditor::replaceText(size, source); });
    }
    void replaceSelection(const QString &t) override { unlessFull([&] { FakeEditor::replaceSelection(t); }); }
    std::optional<QByteArray> bytesShowing(const QString &t) const override
    {
        return unlessFull([&] { return FakeEditor::bytesShowing(t); });
    }
};

// Leaves the process `headroom` bytes of address space beyond what it has mapped.
struct AddressLimit
{
    rlimit before{};
    explicit AddressLimit(qint64 headroom)
    {
        QFile status("/proc/self/status");
        status.open(QIODevice::ReadOnly);
        ::getrlimit(RLIMIT_AS, &before);
        const rlimit limit{rlim_t(*kilobyteField(status.readAll(), "VmSize") + headroom), before.rlim_max};
        ::setrlimit(RLIMIT_AS, &limit);
    }
    ~AddressLimit() { ::setrlimit(RLIMIT_AS, &before); }
};

} // namespace

class TestLimits : public QObject
{
    Q_OBJECT

private slots:
    void memoryShortage_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("available"); // -1: unknown
        QTest::addColumn<QString>("reason");
        const qint64 M = 1 << 20, G = M << 10;
        QTest::newRow("unknown") << 3 * G << -1LL << "";
        QTest::newRow("just enough") << G << 4 * G << "";
        QTest::newRow("GB") << G << 2 * G << "The file is 1.0 GB; to load it the editor needs about 4.0 GB of "
                                             "memory, and 2.0 GB are free";
        QTest::newRow("MB") << 300 * M << 500 * M << "The file is 300 MB; to load it the editor needs about 1.2 GB "
                                                     "of memory, and 500 MB are free";
        QTest::newRow("none") << 10LL << 0LL << "The file is 10 bytes; to load it the editor needs about 40 bytes "
                                                "of memory, and 0 bytes are free";
    }
    void memoryShortage()
    {
        QFETCH(qint64, size);
        QFETCH(qint64, available);
        QTEST(::memoryShortage(size, available < 0 ? std::nullopt : std::optional(available), "load"), "reason");
        const char meminfo[] = "MemTotal:       24683856 kB\nMemAvailable:    2048 kB\n";
        QCOMPARE(kilobyteField(meminfo, "MemAvailable"), 2048 * 1024);
        QCOMPARE(kilobyteField(meminfo, "MemFree"), std::nullopt);
        QCOMPARE(kilobyteField("MemAvailable: many kB", "MemAvailable"), std::nullopt);
    }

    // Load and Insert Header read nothing of a file they cannot take; a
    // command that runs out of memory keeps the text. Each says why.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");  // "fifo", or the size of a sparse file
        QTest::addColumn<QString>("memory"); // "full" editor, or a "limit" on the address space
        QTest::addColumn<QStringList>("box"); // title, and the start of the prompt and of the details
        const QStringList load{"Load Source File", "Could not load "}, ion{"Insert Header", "Could not read the "};
        for (const auto &[command, box] : {std::pair{"load", load}, std::pair{"ion", ion}}) {
            const QString verb = command == QLatin1String("load") ? "load" : "insert";
            QTest::addRow("%s 3 GB", command) << command << "3221225472" << ""
                << box + QStringList{"The file is 3.0 GB, larger than the 2 GB the editor can hold."};
            QTest::addRow("%s FIFO", command) << command << "fifo" << "" << box + QStringList{"Not a regular file."};
            QTest::addRow("%s short of memory", command) << command << "1073741824" << "limit"
                << box + QStringList{"The file is 1.0 GB; to " + verb + " it the editor needs about 4.0 GB"};
            QTest::addRow("%s out of memory", command) << command << "5" << "full"
                << box + QStringList{"Not enough memory to " + verb + " a file of 5 bytes; the text"};
        }
        const QString unchanged = "The text in the editor is as it was.";
        QTest::newRow("Paste") << "paste" << "5" << "full"
                               << QStringList{"Paste", "Not enough memory to paste a text of 3 characters", unchanged};
        QTest::newRow("Find") << "find" << "5" << "full"
                              << QStringList{"Find", "Not enough memory to find a text of 2 characters", ""};
        QTest::newRow("New") << "new" << "5" << "full"
                             << QStringList{"New Source", "Not enough memory to keep the text for Undo", unchanged};
        QTest::newRow("Cut") << "cut" << "5" << "full"
                             << QStringList{"Cut", "Not enough memory to cut a text of 2 bytes", unchanged};
    }
    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(QString, memory);
        QFETCH(QStringList, box);
        QTemporaryDir folder;
        QDir::setCurrent(folder.path());
        FullEditor editor;
        FakeClipboard clipboard;
        FakePrompts prompts;
        FakeFileDialog dialog;
        FakeLauncher launcher;
        FakeWindows windows;
        Commands commands(Platform{editor, clipboard, prompts, dialog, launcher, windows, "/own/copies"});
        const QString path = dialog.choice = folder.filePath("ion.txt");
        QFile sparse(path);
        QVERIFY(file == "fifo" ? ::mkfifo(QFile::encodeName(path), 0600) == 0
                               : sparse.open(QIODevice::WriteOnly) && sparse.resize(file.toLongLong()));
        editor.bytes = "keep";
        editor.select({0, command == "cut" ? 2 : 0});
        clipboard.content = "abc";
        prompts.typed = "ld";
        editor.full = memory == "full";
        std::optional<AddressLimit> limit;
        if (memory == "limit") {
            SKIP_UNDER_ASAN;
            limit.emplace(256 << 20);
        }
        static const QHash<QString, void (Commands::*)()> items = {
            {"load", &Commands::load_project}, {"ion", &Commands::ion}, {"paste", &Commands::paste},
            {"find", &Commands::find}, {"new", &Commands::new_}, {"cut", &Commands::cut}};
        (commands.*items.value(command))();
        limit.reset();
        QCOMPARE(editor.bytes, "keep");
        QCOMPARE(editor.asked, memory == "full" && (command == "load" || command == "ion") ? 5 : -1);
        const QStringList shown = prompts.shown.last().split('|');
        QVERIFY2(shown.value(0) == "error" && shown.value(1) == box[0] && shown.value(2).startsWith(box[1])
                     && shown.value(3).startsWith(box[2]),
                 qPrintable(prompts.shown.last()));
    }

    // Find offers the selection only where it is one short line: a whole file
    // selected is not decoded for the input box.
    void findOffers()
    {
        FakeEditor editor;
        FakePrompts prompts; // cancels
        FindCommands find(editor, prompts);
        editor.bytes = QByteArray(10001, 'a');
        for (const qsizetype end : {10000, 10001})
            editor.select({0, end}), find.find();
        QCOMPARE(prompts.shown, QStringList({"input|Find|Find what:|" + QString(10000, 'a'), "input|Find|Find what:|"}));
    }

    // The real editor weighs the memory before Scintilla takes any, and takes
    // back what Scintilla did of a change that set its out-of-memory status.
    // Then it goes on taking edits.
    void realEditor_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"status load", "status paste", "status, nothing pasted", "limit load",
                                "limit lines", "limit paste"})
            QTest::newRow(how) << how;
    }
    void realEditor()
    {
        QFETCH(QString, how);
        if (how.startsWith("limit"))
            SKIP_UNDER_ASAN;
        SourceEditor real;
        const QByteArray text = "ld a,1 ; \xe9\r\n"; // Latin-1: a paste is encoded at its size
        real.replaceText(text);
        real.select({0, how == "status paste" ? 2 : 0});
        const QString pasted = how == "limit paste" ? QString(40 << 20, 'x') : "xyz";
        QGuiApplication::clipboard()->setText(pasted);
        QString box;
        QTimer user; // reads the error box and presses OK
        connect(&user, &QTimer::timeout, [&box] {
            if (auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box = shown->text(), shown->accept();
        });
        user.start(0);
        // Line ends only, the most memory a byte can take; the status is left
        // as a build of Scintilla that catches its own std::bad_alloc leaves it.
        const qsizetype size = how == "limit load" ? 1LL << 30 : how == "limit lines" ? 8 << 20 : 1;
        qsizetype given = 0;
        const auto source = [&](char *buffer, qsizetype capacity) {
            if (how == "status load")
                real.SendScintilla(QsciScintilla::SCI_SETSTATUS, 2UL);
            const qsizetype count = std::min(capacity, size - given);
            std::fill_n(buffer, count, '\n');
            given += count;
            return count;
        };
        if (how.startsWith("status") && how.contains("paste"))
            real.SendScintilla(QsciScintilla::SCI_SETSTATUS, 2UL);
        std::optional<AddressLimit> limit;
        if (how.startsWith("limit"))
            limit.emplace(64 << 20);
        if (how.endsWith("paste"))
            real.paste();
        else if (how.endsWith("pasted"))
            QVERIFY_THROWS_EXCEPTION(std::bad_alloc, real.replaceSelection({}));
        else
            QVERIFY_THROWS_EXCEPTION(std::bad_alloc, real.replaceText(size, source));
        limit.reset();
        QCoreApplication::processEvents(); // where Undo puts back a whole text
        QCOMPARE(real.text(), text);
        QCOMPARE(real.SendScintilla(QsciScintilla::SCI_GETSTATUS), 0);
        QCOMPARE(box, how.endsWith("paste") ? QString("Not enough memory to paste a text of %L1 characters").arg(pasted.size())
                                            : QString());
        real.select({0, 0});
        real.replaceSelection("ok");
        QCOMPARE(real.text(), "ok" + text);
    }
};

QTEST_MAIN(TestLimits)
#include "tst_limits.moc"
