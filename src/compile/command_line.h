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
    QString name; // the file name of what runs, for the console's title

    bool ok() const { return error.isEmpty(); }
};

namespace CommandLine {

// Splits into words as a POSIX shell does (single quotes, double quotes,
// backslash; empty quoted words are kept) but expands nothing: $, `, *, ~ and
// # are ordinary characters. Unbalanced quotes give no words and the reason in
// `error`. No shell ever interprets the text.
QStringList split(const QString &commandLine, QString *error = nullptr);

// Finds the program named first and decides how to run it, running nothing.
// A name with '/' is a path (relative ones against `workingDirectory`). A bare
// name is looked up in `workingDirectory`, then in the folders of `searchPath`
// (a PATH value), then in `ownScriptsFolder`; entries that cannot run are
// passed over. In the working directory (by a bare name or a relative path)
// only a file of the user's (or root's) runs that no one else can change or
// swap: neither it nor any folder above it is open to others. An executable
// file runs directly; a non-executable .bat, .cmd or .sh file runs with
// /bin/sh. A word the kernel would refuse as too long is refused here.
LaunchPlan plan(const QString &commandLine, const QString &workingDirectory,
                const QString &searchPath, const QString &ownScriptsFolder);

// The terminal emulator that can give a build its console in this session:
// x-terminal-emulator, else xterm when there is an X display. A Wayland
// session without X takes x-terminal-emulator only when it is no xterm.
// "" with the reason in `error` when none can run.
QString findTerminal(const QString &searchPath, bool xDisplay, bool wayland, QString &error);

// Runs `build` in a console window of `terminal`, an ordinary window with the
// focus (in a scalable font when it is xterm), that stays open after the build
// ends, showing its exit status until the user presses Enter. The build's words
// reach it exactly as split.
LaunchPlan inConsole(const LaunchPlan &build, const QString &terminal);

} // namespace CommandLine
