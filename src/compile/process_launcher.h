#pragma once

#include "platform/launcher.h"

#include <utility>

// The real launcher: finds the program, starts it detached in a console window
// of its own where there is a display and a terminal, and never waits for it.
class ProcessLauncher : public Launcher
{
public:
    // `ownScriptsFolder` holds the program's sample build scripts.
    explicit ProcessLauncher(QString ownScriptsFolder) : m_ownScriptsFolder(std::move(ownScriptsFolder)) {}

    bool start(const QString &commandLine, QString &error) override;

private:
    QString m_ownScriptsFolder;
};
