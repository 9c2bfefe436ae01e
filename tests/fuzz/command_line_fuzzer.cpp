// Feeds arbitrary command lines through the launcher's decisions: splitting,
// finding the program, choosing how to run it, wrapping it in a console.
// Nothing is ever started. Invariants that fail abort, which libFuzzer reports.

#include "compile/command_line.h"
#include "compile/console_terminal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

struct Folders
{
    QTemporaryDir work, bin, own;

    Folders()
    {
        auto make = [](const QString &path, QFile::Permissions extra) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write("#!/bin/sh\n");
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | extra);
        };
        make(work.filePath("asm.bat"), {});
        make(work.filePath("run.sh"), QFile::ExeOwner);
        make(work.filePath("notes.txt"), {});
        make(work.filePath("shared.bat"), QFile::WriteOther);
        make(bin.filePath("tool"), QFile::ExeOwner);
        make(own.filePath("mirage.bat"), {});
        QDir(work.path()).mkdir("folder.bat");
    }
};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Each word in single quotes, a quote inside written as '\''.
QString quoted(const QStringList &words)
{
    QStringList out;
    for (QString word : words)
        out << QLatin1Char('\'') + word.replace(QLatin1String("'"), QLatin1String("'\\''")) + QLatin1Char('\'');
    return out.join(QLatin1Char(' '));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Qt's warnings would go to stderr on every input and slow the run down.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Folders folders;
    const QString commandLine = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const QStringList words = CommandLine::split(commandLine, &error);
    check(error.isEmpty() || words.isEmpty());
    // Any words, empty ones too, quoted as a shell would quote them, split back
    // into the same words. The input read as words parted by 0x1f gives them.
    const QStringList any = commandLine.split(QChar(0x1f));
    check(CommandLine::split(quoted(any)) == any);

    const LaunchPlan plan = CommandLine::plan(commandLine, folders.work.path(), folders.bin.path() + ":relative:",
                                              folders.own.path());
    if (!plan.ok())
        return 0;
    // What runs is an absolute path, never the shared script, and the words
    // after the program's name reach it unchanged and in order.
    check(QDir::isAbsolutePath(plan.program) && !plan.arguments.contains(folders.work.filePath("shared.bat")));
    const QStringList rest = words.mid(1);
    check(plan.program == QLatin1String("/bin/sh") ? plan.arguments.mid(1) == rest : plan.arguments == rest);

    const LaunchPlan console
        = ConsoleTerminal::inConsole(plan, QStringLiteral("/usr/bin/xterm"), folders.work.path(), QString());
    check(console.arguments.mid(console.arguments.size() - plan.arguments.size() - 1)
          == QStringList{plan.program} + plan.arguments);
    check(console.arguments.value(console.arguments.indexOf(QStringLiteral("-T")) + 1).size() <= 60);
    return 0;
}
