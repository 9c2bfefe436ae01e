#pragma once

#include <QString>

// Starts a build from a command line, in the working directory, without waiting for it.
class Launcher
{
public:
    virtual ~Launcher() = default;

    // Returns false with the reason in `error` when no process could be started.
    virtual bool start(const QString &commandLine, QString &error) = 0;
};
