#pragma once

#include <QString>
#include <QStringList>

// How a command line is to be started: the program to execute and its
// arguments, or why it cannot be started.
struct LaunchPlan
{
    QString program;
    QStringList arguments;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

namespace CommandLine {

// Splits into words: double quotes group words, a quoted argument keeps its
// spaces. Nothing else is special; no shell ever interprets the text.
QStringList split(const QString &commandLine);

// Finds the program named first and decides how to run it, running nothing.
// A name with '/' is a path (relative ones against `workingDirectory`); a bare
// name is looked up in `workingDirectory` first, then in the folders of
// `searchPath` (a PATH value). An executable file runs directly; a
// non-executable .bat, .cmd or .sh file runs with /bin/sh.
LaunchPlan plan(const QString &commandLine, const QString &workingDirectory,
                const QString &searchPath);

// The terminal emulator that gives a build its console: x-terminal-emulator,
// else xterm, looked up in `searchPath`; "" when there is none or no display.
QString findTerminal(const QString &searchPath, bool haveDisplay);

// Runs `build` in a console window of `terminal` (minimized where the terminal
// can) that stays open after the build ends, showing its exit status until the
// user presses Enter. The build's words reach it exactly as split.
LaunchPlan inConsole(const LaunchPlan &build, const QString &terminal, const QString &title);

} // namespace CommandLine
