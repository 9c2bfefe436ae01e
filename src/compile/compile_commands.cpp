#include "compile_commands.h"

#include "platform/launcher.h"
#include "platform/prompts.h"

#include <QDir>

CompileCommands::CompileCommands(Prompts &prompts, Launcher &launcher, const QString &workingFolder)
    : m_prompts(prompts), m_launcher(launcher), m_workingFolder(workingFolder)
{
}

void CompileCommands::compile()
{
    run(QStringLiteral("name of file to compile?"), QStringLiteral("Compile Source"),
        QStringLiteral("asm.bat"), QStringLiteral("Problem"));
}

void CompileCommands::compile_ion()
{
    // ION programs are built by the same batch file as plain ones.
    run(QStringLiteral("Enter Name of ION Source File"), QStringLiteral("ION Compile"),
        QStringLiteral("asm.bat"), {});
}

void CompileCommands::mirage()
{
    run(QStringLiteral("Enter Name of Mirage Source File"), QStringLiteral("Mirage Compile"),
        QStringLiteral("mirage.bat"), {});
}

void CompileCommands::tses()
{
    run(QStringLiteral("Enter Name of TSE Source File"), QStringLiteral("TSE Compile"),
        QStringLiteral("tse.bat"), {});
}

void CompileCommands::compile_options()
{
    run(QStringLiteral("Enter Custom Arguments to Compile Program"), QStringLiteral("Custom Compile"),
        {}, {});
}

void CompileCommands::run(const QString &prompt, const QString &title, const QString &script,
                          const QString &errorTitle)
{
    // The answer is used exactly as typed; Cancel gives "" like an empty answer.
    const QString answer = m_prompts.input(prompt, title);
    const QString commandLine = script.isEmpty() ? answer : script + QLatin1Char(' ') + answer;

    QString error;
    if (m_launcher.start(commandLine, m_workingFolder, error))
        return;
    const QString details = QStringLiteral("Command line: %1\nWorking directory: %2\nReason: %3")
                                .arg(commandLine, QDir::toNativeSeparators(m_workingFolder), error);
    m_prompts.error(QStringLiteral("We got a problem!"), errorTitle, details);
}
