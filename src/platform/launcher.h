#pragma once

#include <QString>

// Starts a build from a command line, in the working folder, without waiting for it.
class Launcher
{
public:
    virtual ~Launcher() = default;

    // Runs it in `workingFolder`, where bare names and relative paths are
    // looked up first. Returns false with the reason in `error` when no
    // process could be started.
    virtual bool start(const QString &commandLine, const QString &workingFolder, QString &error) = 0;
};
