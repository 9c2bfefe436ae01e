#pragma once

#include "platform/launcher.h"

#include <chrono>
#include <utility>

// The real launcher: finds the program, starts it detached in a console window
// of its own, and never waits for it. Without a console nothing starts.
class ProcessLauncher : public Launcher
{
public:
    // `ownScriptsFolder` holds the program's sample build scripts, found by
    // bare name after the working folder and PATH. For at most
    // `consoleWait`, start() waits to learn whether the terminal opened the
    // console or failed first; after that it takes the console as opening.
    explicit ProcessLauncher(QString ownScriptsFolder,
                             std::chrono::milliseconds consoleWait = std::chrono::seconds(3))
        : m_ownScriptsFolder(std::move(ownScriptsFolder)), m_consoleWait(consoleWait)
    {
    }

    bool start(const QString &commandLine, const QString &workingFolder, QString &error) override;

private:
    QString m_ownScriptsFolder;
    std::chrono::milliseconds m_consoleWait;
};
