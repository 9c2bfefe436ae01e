#include "edit_commands.h"

#include "platform/clipboard.h"
#include "platform/editor.h"
#include "platform/prompts.h"

EditCommands::EditCommands(Editor &editor, Clipboard &clipboard, Prompts &prompts)
    : m_editor(editor), m_clipboard(clipboard), m_prompts(prompts)
{
}

bool EditCommands::new_()
{
    if (!m_prompts.confirm(QStringLiteral("Are you sure?"), QStringLiteral("New Source")))
        return false;
    m_editor.replaceText(QByteArrayView());
    return true;
}

bool EditCommands::copySelection()
{
    m_clipboard.clear();
    return m_clipboard.setText(m_editor.selectedText());
}

void EditCommands::copy()
{
    copySelection();
}

void EditCommands::cut()
{
    // Only delete what the clipboard really holds now.
    if (copySelection())
        m_editor.replaceSelection({});
}

void EditCommands::paste()
{
    m_editor.replaceSelection(m_clipboard.text());
}
