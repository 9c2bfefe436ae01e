// No input ends or freezes the editor: a file too big for the editor or for
// the memory there is is refused before it is read, and where memory runs out
// in a command, the error box says so and the text stays.

#include "app/commands.h"
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

// It maps terabytes of shadow memory: no address space limit can be set.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool addressSanitizer = true;
#elif defined(__has_feature)
constexpr bool addressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool addressSanitizer = false;
#endif

// Leaves the process `headroom` bytes of address space beyond what it has
// mapped (none when 0), until the guard it returns goes.
static auto limitAddressSpace(qint64 headroom)
{
    rlimit before{};
    ::getrlimit(RLIMIT_AS, &before);
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    const qint64 mapped = *kilobyteField(status.readAll(), "VmSize");
    const rlimit limit{headroom ? rlim_t(mapped + headroom) : before.rlim_cur, before.rlim_max};
    ::setrlimit(RLIMIT_AS, &limit);
    return qScopeGuard([before] { ::setrlimit(RLIMIT_AS, &before); });
}

class TestLimits : public QObject
{
    Q_OBJECT

private slots:
    // Short from one byte below four times the size; never when nothing is known.
    void memoryShortage()
    {
        QCOMPARE(::memoryShortage(1LL << 40, std::nullopt, "load"), "");
        QCOMPARE(::memoryShortage(256 << 10, 1 << 20, "load"), "");
        QCOMPARE(::memoryShortage(256 << 10, (1 << 20) - 1, "load"),
                 "The file is 256 KB; to load it the editor needs about 1 MB of memory, and 1024 KB are free");
        const char meminfo[] = "MemTotal:       24683856 kB\nMemAvailable:    2048 kB\n";
        QCOMPARE(kilobyteField(meminfo, "MemAvailable"), 2048 * 1024);
        QCOMPARE(kilobyteField(meminfo, "MemFree"), std::nullopt);
        QCOMPARE(kilobyteField("MemAvailable: many kB", "MemAvailable"), std::nullopt);
    }

    // The real editor, as the commands, Ctrl+V and a read of a whole text
    // (the row's name up to its comma) change it where memory runs short:
    // where Scintilla's status says it ran out, a build of Scintilla that
    // catches its own std::bad_alloc, or where the address space is limited.
    // Load and Insert Header read nothing of a file they cannot take; the
    // editor weighs the memory before Scintilla takes any, and takes back what
    // Scintilla did of a change. The box says why, and the text stays and goes
    // on taking edits. Find offers the selection only where it is one short
    // line: a whole file selected is not decoded for the input box.
    void limits_data()
    {
        QTest::addColumn<QString>("pressure"); // "status", or "limit" to 64 MB more than is mapped
        // Of the file chosen (sparse), of the text pasted or typed, or the line ends read.
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("selected"); // bytes, from the 13th on
        QTest::addColumn<QString>("boxes"); // a part of the boxes shown, the file as {}
        const QString load = "error|Load Source File|Could not load {}|", find = "input|Find|Find what:|";
        const QString kept = "|The text in the editor is as it was.";
        QTest::newRow("Load, 3 GB") << "" << (3LL << 30) << 0LL
                                    << load + "The file is 3.0 GB, larger than the 2 GB the editor can hold.";
        QTest::newRow("Insert Header, 1 GB") << "limit" << (1LL << 30) << 0LL
                                             << "{}|The file is 1.0 GB; to insert it the editor needs about 4.0 GB";
        QTest::newRow("Load") << "status" << 5LL << 0LL << load + "Not enough memory to load a file of 5 bytes;";
        QTest::newRow("New") << "status" << 0LL << 0LL
                             << "|New Source|Not enough memory to keep the text for Undo" + kept;
        QTest::newRow("Paste") << "status" << 3LL << 2LL << "|Paste|Not enough memory to paste a text of 3 characters";
        QTest::newRow("Paste, nothing") << "status" << 0LL << 0LL << "|Not enough memory to paste the clipboard's text";
        QTest::newRow("Cut") << "status" << 0LL << 0LL << "|Cut|Not enough memory to cut a text of 0 bytes" + kept;
        QTest::newRow("Find") << "limit" << (32LL << 20) << 10000LL << find + QString(10000, 'e')
                                  + "\nerror|Find|Not enough memory to find a text of 33,554,432 characters|";
        QTest::newRow("Find, a longer selection") << "" << 2LL << 10001LL << find + "\ninform|Find|";
        QTest::newRow("read, status") << "status" << 1LL << 0LL << "";
        QTest::newRow("read, 1 GB") << "limit" << (1LL << 30) << 0LL << "";
        QTest::newRow("read, 8 MB of line ends") << "limit" << (8LL << 20) << 0LL << "";
        QTest::newRow("Ctrl+V") << "limit" << (40LL << 20) << 2LL << "Not enough memory to paste a text of 41,943,040";
    }
    void limits()
    {
        QFETCH(QString, pressure);
        QFETCH(qint64, size);
        QFETCH(qint64, selected);
        QFETCH(QString, boxes);
        const QString change = QString(QTest::currentDataTag()).section(',', 0, 0);
        if (pressure == "limit" && addressSanitizer)
            QSKIP("AddressSanitizer leaves no address space to limit");
        QTemporaryDir folder; // the working folder, where Insert Header finds ion.txt
        SourceEditor real;
        FakeClipboard clipboard;
        FakePrompts prompts;
        FakeFileDialog dialog;
        FakeLauncher launcher;
        FakeWindows windows;
        Commands commands(Platform{real, clipboard, prompts, dialog, launcher, windows, "/own/copies", folder.path()});
        QFile sparse(dialog.choice = folder.filePath("ion.txt"));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(size));
        // Latin-1: a paste is encoded at its size.
        const QByteArray text = "ld a,1 ; \xe9\r\n" + QByteArray(10001, 'e');
        real.replaceText(text);
        real.select({12, 12 + selected});
        const QString typed(change == "Paste" || change == "Find" || change == "Ctrl+V" ? size : 0, 'x');
        clipboard.content = prompts.typed = typed;
        QGuiApplication::clipboard()->setText(typed);
        QTimer::singleShot(0, &real, [&prompts] { // reads the error box and presses OK
            if (auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                prompts.shown << shown->text();
                shown->accept();
            }
        });
        // Line ends only, the most memory a byte can take.
        const auto source = [&, given = qsizetype(0)](char *buffer, qsizetype capacity) mutable {
            if (pressure == "status")
                real.SendScintilla(QsciScintilla::SCI_SETSTATUS, 2UL);
            const qsizetype count = std::min(capacity, size - given);
            std::fill_n(buffer, count, '\n');
            given += count;
            return count;
        };
        if (pressure == "status" && change != "read")
            real.SendScintilla(QsciScintilla::SCI_SETSTATUS, 2UL);
        const auto limit = limitAddressSpace(pressure == "limit" ? 64 << 20 : 0);
        const QHash<QString, std::function<void()>> changes = {
            {"Load", [&] { commands.load_project(); }}, {"Insert Header", [&] { commands.ion(); }},
            {"New", [&] { commands.new_(); }}, {"Paste", [&] { commands.paste(); }}, {"Cut", [&] { commands.cut(); }},
            {"Find", [&] { commands.find(); }}, {"Ctrl+V", [&] { real.paste(); }},
            {"read", [&] { QVERIFY_THROWS_EXCEPTION(std::bad_alloc, real.replaceText(size, source)); }}};
        changes.value(change)();
        QCoreApplication::processEvents(); // where Undo puts back a whole text
        const QString shown = prompts.shown.join('\n').replace(sparse.fileName(), "{}");
        QVERIFY2(shown.contains(boxes), qPrintable(shown));
        QCOMPARE(real.text(), text);
        // An out-of-memory status left set would fail this edit too.
        real.select({0, 0});
        real.replaceSelection("ok");
        QCOMPARE(real.text(), "ok" + text);
    }
};

QTEST_MAIN(TestLimits)
#include "tst_limits.moc"
