#pragma once

#include "compile/command_line.h"

#include <QString>
#include <QStringList>

// The console window a build runs in: which terminal emulator can open one in
// this session, and the options that terminal takes.
namespace ConsoleTerminal {

// What a terminal emulator takes, known by the file name of its program.
struct Interface
{
    bool needsX = false;       // runs only with an X display
    bool needsWayland = false; // runs only in a Wayland session
    QStringList options;       // before all else
    QString titleOption = QStringLiteral("-T"); // "" where it takes no title
    QString commandOption = QStringLiteral("-e"); // the option followed by the command
    // How the command's words reach the console: one argument each, as they
    // are or with every $ encoded (the terminal would replace $NAME with the
    // environment's value), or in one argument that the terminal splits as a
    // shell would, each word in single quotes.
    enum Words { AsGiven, NoDollar, Quoted } words = AsGiven;
};

// The interface of the terminal whose program is named `name` (links
// resolved): the ones Debian offers as x-terminal-emulator, and xterm's
// (-T TITLE -e COMMAND...), which Debian asks of every one, for any other.
Interface interfaceOf(const QString &name);

// The file name of the program that `terminal` runs, links resolved: what
// x-terminal-emulator stands for.
QString resolvedName(const QString &terminal);

// The terminal emulator that can give a build its console in this session:
// x-terminal-emulator, where what it stands for runs in this session, else
// xterm when there is an X display. "" with the reason in `error` when none
// can run.
QString find(const QString &searchPath, bool xDisplay, bool wayland, QString &error);

// Runs `build` in a console window of `terminal`, an ordinary window with the
// focus, in `workingDirectory`, that stays open after the build ends, showing
// its exit status until the user presses Enter. Once the console runs, it
// writes "started" into `fifo` when that is a FIFO. The build's words reach it
// exactly as split. The plan's name is the terminal's; it fails when the
// terminal's way of taking the words makes one argument too long to pass.
LaunchPlan inConsole(const LaunchPlan &build, const QString &terminal, const QString &workingDirectory,
                     const QString &fifo);

} // namespace ConsoleTerminal
