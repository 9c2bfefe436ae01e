#pragma once

#include "compile/launcher.h"

// The real launcher: finds the program, starts it detached in a console window
// of its own where there is a display and a terminal, and never waits for it.
class ProcessLauncher : public Launcher
{
public:
    bool start(const QString &commandLine, QString &error) override;
};
