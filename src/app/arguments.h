#pragma once

#include <QString>
#include <QStringList>

// What the command line asks the program to do.
struct Arguments
{
    enum class Action {
        Start,   // open the main window with `files`
        Help,    // print `message` (the usage) on standard output, status 0
        Version, // print `message` (the name and version) on standard output, status 0
        Fail,    // print `message` (one line) on standard error, status 2
    };
    Action action = Action::Start;
    QStringList files;
    QString message;
};

// Reads the arguments that follow the program's name. Qt's own options (-style
// fusion, -platform xcb, -display :1 ...) are passed over with their values, as
// the program hands Qt none of them; "--" ends the options. The first of
// --help, --version or an unknown option decides.
Arguments parseArguments(const QStringList &arguments);
