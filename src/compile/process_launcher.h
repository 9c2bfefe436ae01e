#pragma once

#include "platform/launcher.h"

#include <utility>

// The real launcher: finds the program, starts it detached in a console window
// of its own, and never waits for it. Without a console nothing starts.
class ProcessLauncher : public Launcher
{
public:
    // `ownScriptsFolder` holds the program's sample build scripts, found by
    // bare name after the working directory and PATH.
    explicit ProcessLauncher(QString ownScriptsFolder) : m_ownScriptsFolder(std::move(ownScriptsFolder)) {}

    bool start(const QString &commandLine, QString &error) override;

private:
    QString m_ownScriptsFolder;
};
