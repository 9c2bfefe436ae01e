#pragma once

#include "compile/compile_commands.h"
#include "document/edit_commands.h"
#include "document/find_commands.h"
#include "document/source_files.h"
#include "templates/shell_headers.h"

class Clipboard;
class Editor;
class FileDialog;
class Launcher;
class ProgramWindows;
class Prompts;

// What the platform supplies to the commands.
struct Platform
{
    Editor &editor;
    Clipboard &clipboard;
    Prompts &prompts;
    FileDialog &fileDialog;
    Launcher &launcher;
    ProgramWindows &windows;
    QString templatesFolder; // where the program's own header templates are installed
    QString workingFolder;   // where the program was started
};

// Every command of the program, named after the menu item that starts it, and
// the toolbar's dispatch on button keys. Menu items and toolbar buttons call
// these and nothing else.
class Commands
{
public:
    explicit Commands(const Platform &platform);

    // File
    void new_() { if (m_edit.new_()) m_files.textReplaced(); }
    void load_project() { m_files.load_project(); }
    void Save() { m_files.Save(); }
    void exit();
    // Edit
    void cut() { m_edit.cut(); }
    void copy() { m_edit.copy(); }
    void paste() { m_edit.paste(); }
    // Keys of the main window that are in no menu
    void find() { m_find.find(); }
    void find_next() { m_find.find_next(); }
    void find_previous() { m_find.find_previous(); }
    void go_to_line() { m_find.go_to_line(); }
    // Project > Insert Header
    void ion() { if (m_headers.ion()) m_files.textReplaced(); }
    void mirage_os() { if (m_headers.mirage_os()) m_files.textReplaced(); }
    void tse() { if (m_headers.tse()) m_files.textReplaced(); }
    void plus_asm() { if (m_headers.plus_asm()) m_files.textReplaced(); }
    void compile() { m_compile.compile(); }
    // Project
    void compile_ion() { m_compile.compile_ion(); }
    void mirage() { m_compile.mirage(); }
    void tses() { m_compile.tses(); }
    void compile_options() { m_compile.compile_options(); }
    // Help
    void contents();
    void about();

    // A toolbar click: the button's key picks the command, compared exactly
    // (letter case counts); an unknown or empty key does nothing.
    void toolbarButtonClick(const QString &key);

    // The files named on the command line: one is loaded as Load Project
    // loads it, more are refused with a box.
    void load_at_start(const QStringList &files) { m_files.load_at_start(files); }

private:
    ProgramWindows &m_windows;
    // Moved by a confirmed file dialog; templates are read and builds run
    // there. Before the commands that hold on to it.
    QString m_workingFolder;
    EditCommands m_edit;
    FindCommands m_find;
    SourceFiles m_files;
    ShellHeaders m_headers;
    CompileCommands m_compile;
};
