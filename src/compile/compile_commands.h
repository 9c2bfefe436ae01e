#pragma once

#include <QString>

class Launcher;
class Prompts;

// The Project menu's compile commands: ask for a program name or a whole
// command line and start the external build.
class CompileCommands
{
public:
    // The builds run in `workingFolder`, read when each starts.
    CompileCommands(Prompts &prompts, Launcher &launcher, const QString &workingFolder);

    void compile();
    void compile_ion();
    void mirage();
    void tses();
    void compile_options();

private:
    // `script` is put before the answer with one space; empty means the answer
    // is the whole command line.
    void run(const QString &prompt, const QString &title, const QString &script,
             const QString &errorTitle);

    Prompts &m_prompts;
    Launcher &m_launcher;
    const QString &m_workingFolder;
};
