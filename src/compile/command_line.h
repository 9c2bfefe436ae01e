#pragma once

#include "compile/command_words.h"

#include <QString>
#include <QStringList>

// How a command line is to be started: the program to execute and its
// arguments, or why it cannot be started.
struct LaunchPlan
{
    QString program;
    QStringList arguments;
    QString error;
    QString name; // the file name as typed: in the console's title, in a reason

    bool ok() const { return error.isEmpty(); }
};

namespace CommandLine {

// Finds the program named first and decides how to run it, running nothing.
// A name with '/' is a path (relative ones against `workingDirectory`). A bare
// name is looked up in `workingDirectory`, then in the folders of `searchPath`
// (a PATH value), then in `ownScriptsFolder`; entries that cannot run are
// passed over. In the working directory (by a bare name or a relative path)
// only a file runs that the trust rule lets run, and what runs is its
// path with its links resolved, exactly what was checked. An executable
// file runs directly; a non-executable .bat, .cmd or .sh file runs with
// /bin/sh. A word the kernel would refuse as too long is refused here.
LaunchPlan plan(const QString &commandLine, const QString &workingDirectory,
                const QString &searchPath, const QString &ownScriptsFolder);

} // namespace CommandLine
