// Feeds arbitrary command lines through the launcher's decisions: splitting,
// finding the program, choosing how to run it, wrapping it in a console.
// Nothing is ever started. Invariants that fail abort, which libFuzzer reports.

#include "compile/command_line.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

struct Folders
{
    QTemporaryDir work, bin;

    Folders()
    {
        auto make = [](const QString &path, QFile::Permissions extra) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write("#!/bin/sh\n");
            file.close();
            file.setPermissions(file.permissions() | extra);
        };
        make(work.filePath("asm.bat"), {});
        make(work.filePath("run.sh"), QFile::ExeOwner);
        make(work.filePath("notes.txt"), {});
        make(bin.filePath("tool"), QFile::ExeOwner);
        QDir(work.path()).mkdir("folder.bat");
    }
};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Folders folders;
    const QString commandLine = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList words = CommandLine::split(commandLine);
    const LaunchPlan plan = CommandLine::plan(commandLine, folders.work.path(), folders.bin.path() + ":relative:");

    if (!plan.ok()) {
        check(plan.program.isEmpty());
        return 0;
    }
    // What runs is an absolute path, and the words after the program's name
    // reach it unchanged and in order.
    check(QDir::isAbsolutePath(plan.program));
    check(!words.isEmpty());
    const QStringList rest = words.mid(1);
    if (plan.program == QLatin1String("/bin/sh"))
        check(plan.arguments.mid(1) == rest && QDir::isAbsolutePath(plan.arguments.value(0)));
    else
        check(plan.arguments == rest);

    const LaunchPlan console = CommandLine::inConsole(plan, QStringLiteral("/usr/bin/xterm"), commandLine);
    check(console.arguments.mid(console.arguments.size() - plan.arguments.size() - 1)
          == QStringList{plan.program} + plan.arguments);
    return 0;
}
