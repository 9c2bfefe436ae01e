#include "edit_commands.h"

#include "platform/clipboard.h"
#include "platform/editor.h"
#include "platform/prompts.h"

#include <new>

namespace {

const QString unchanged = QStringLiteral("The text in the editor is as it was.");

QString selectionShortage(const char *verb, Editor::Range selected)
{
    return QStringLiteral("Not enough memory to %1 a text of %L2 bytes")
        .arg(QLatin1String(verb)).arg(selected.end - selected.start);
}

} // namespace

void reportPasteShortage(Prompts &prompts, qsizetype characters)
{
    // No size when the clipboard could not hand its text over.
    prompts.error(characters > 0
                      ? QStringLiteral("Not enough memory to paste a text of %L1 characters").arg(characters)
                      : QStringLiteral("Not enough memory to paste the clipboard's text"),
                  QStringLiteral("Paste"), unchanged);
}

EditCommands::EditCommands(Editor &editor, Clipboard &clipboard, Prompts &prompts)
    : m_editor(editor), m_clipboard(clipboard), m_prompts(prompts)
{
}

bool EditCommands::new_()
{
    if (!m_prompts.confirm(QStringLiteral("Are you sure?"), QStringLiteral("New Source")))
        return false;
    try {
        m_editor.replaceText(QByteArrayView());
        return true;
    } catch (const std::bad_alloc &) { // Undo keeps a copy of the text
        m_prompts.error(QStringLiteral("Not enough memory to keep the text for Undo"), QStringLiteral("New Source"),
                        unchanged);
        return false;
    }
}

bool EditCommands::copySelection()
{
    m_clipboard.clear();
    // The selection is decoded into a text of its own, as big as it is.
    try {
        return m_clipboard.setText(m_editor.selectedText());
    } catch (const std::bad_alloc &) {
        m_prompts.error(selectionShortage("copy", m_editor.selection()), QStringLiteral("Copy"));
        return false;
    }
}

void EditCommands::copy()
{
    copySelection();
}

void EditCommands::cut()
{
    // Only delete what the clipboard really holds now.
    if (!copySelection())
        return;
    // Taken first: a failed edit is undone, and the undo drops the selection.
    const Editor::Range selected = m_editor.selection();
    try {
        m_editor.replaceSelection({}); // Undo keeps a copy of what goes
    } catch (const std::bad_alloc &) {
        m_prompts.error(selectionShortage("cut", selected), QStringLiteral("Cut"), unchanged);
    }
}

void EditCommands::paste()
{
    QString text;
    try {
        text = m_clipboard.text();
        m_editor.replaceSelection(text);
    } catch (const std::bad_alloc &) {
        reportPasteShortage(m_prompts, text.size());
    }
}
