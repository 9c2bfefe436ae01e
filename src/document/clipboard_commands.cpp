#include "clipboard_commands.h"

#include "app/prompts.h"
#include "document/clipboard.h"
#include "document/editor.h"

ClipboardCommands::ClipboardCommands(Editor &editor, Clipboard &clipboard, Prompts &prompts)
    : m_editor(editor), m_clipboard(clipboard), m_prompts(prompts)
{
}

void ClipboardCommands::new_()
{
    if (m_prompts.msgBox(QStringLiteral("Are you sure?"), MsgBox::YesNo, QStringLiteral("New Source"))
        == MsgBox::Yes)
        m_editor.setText({});
}

bool ClipboardCommands::copySelection()
{
    m_clipboard.clear();
    return m_clipboard.setText(m_editor.selectedText());
}

void ClipboardCommands::copy()
{
    copySelection();
}

void ClipboardCommands::cut()
{
    // Only delete what the clipboard really holds now.
    if (copySelection())
        m_editor.replaceSelection({});
}

void ClipboardCommands::paste()
{
    m_editor.replaceSelection(m_clipboard.text());
}
