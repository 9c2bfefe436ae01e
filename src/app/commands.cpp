#include "commands.h"

#include "platform/program_windows.h"

Commands::Commands(const Platform &platform)
    : m_windows(platform.windows),
      m_workingFolder(platform.workingFolder),
      m_edit(platform.editor, platform.clipboard, platform.prompts),
      m_find(platform.editor, platform.prompts),
      m_files(platform.editor, platform.fileDialog, platform.prompts, m_workingFolder),
      m_headers(platform.editor, platform.prompts, m_workingFolder, platform.templatesFolder),
      m_compile(platform.prompts, platform.launcher, m_workingFolder)
{
}

void Commands::exit()
{
    m_windows.endProgram();
}

void Commands::contents()
{
    m_windows.showHelp();
}

void Commands::about()
{
    m_windows.showAbout();
}

void Commands::toolbarButtonClick(const QString &key)
{
    // In the order the keys are tested. "Compile" is the custom command line.
    static const struct
    {
        const char *key;
        void (Commands::*command)();
    } keys[] = {
        {"New", &Commands::new_},          {"Open", &Commands::load_project},
        {"Save", &Commands::Save},         {"Compile", &Commands::compile_options},
        {"Cut", &Commands::cut},           {"Paste", &Commands::paste},
        {"Copy", &Commands::copy},
    };
    for (const auto &entry : keys) {
        if (key == QLatin1String(entry.key)) {
            (this->*entry.command)();
            return;
        }
    }
}
