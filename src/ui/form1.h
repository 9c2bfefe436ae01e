#pragma once

#include "app/commands.h"
#include "platform/program_windows.h"
#include "compile/process_launcher.h"
#include "ui/message_prompts.h"
#include "ui/source_file_dialog.h"
#include "ui/system_clipboard.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QGroupBox;
class QLabel;
class QStatusBar;
class QToolBar;
class Form2;
class Form3;
class SourceEditor;

// The main window: menus, toolbar, the framed editor and the status bar. It
// only wires its controls to the commands and lends them the platform.
class Form1 : public QMainWindow, public ProgramWindows
{
    Q_OBJECT

public:
    // `dataFolder` holds the program's own header templates and build scripts.
    explicit Form1(const QString &dataFolder);
    ~Form1() override;

    // The files named on the command line, loaded or refused as the commands do.
    void loadAtStart(const QStringList &files) { m_commands->load_at_start(files); }

    void endProgram() override;
    void showAbout() override;
    void showHelp() override;

private:
    void buildMenus();
    void buildKeys();
    void bind(QAction *action, const char *name, const char *shortcut, void (Commands::*command)());
    void buildToolbar();
    void buildClientArea();
    void Form_Load();

    SourceEditor *Text1 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *statusPanel1 = nullptr;
    QLabel *Label1 = nullptr;

    MessagePrompts m_prompts;
    SystemClipboard m_clipboard;
    SourceFileDialog CommonDialog1;
    ProcessLauncher m_launcher;
    std::unique_ptr<Commands> m_commands;

    QPointer<Form2> m_about;
    QPointer<Form3> m_help;
};
