#include "undo_history.h"

#include <Qsci/qsciscintillabase.h>

#include <utility>

UndoHistory::UndoHistory(QsciScintillaBase *editor, Read read, Write write)
    : QObject(editor), m_editor(editor), m_read(std::move(read)), m_write(std::move(write))
{
    connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type, const char *, int, int, int, int, int, int token, int) {
                if ((type & QsciScintillaBase::SC_MOD_CONTAINER) && m_kept.contains(token)) {
                    // Scintilla is inside its undo here and takes no changes.
                    m_swapDue = token;
                    QMetaObject::invokeMethod(this, &UndoHistory::swapPassed, Qt::QueuedConnection);
                }
            });
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, &UndoHistory::forgetUnreachable);
}

void UndoHistory::recordReplacement(Text before)
{
    // Its new step cuts off whatever Redo could still reach.
    m_kept.removeIf([](const auto &entry) { return entry.value().undone; });
    const int token = m_nextToken++;
    m_kept.insert(token, Kept{std::move(before)});
    m_editor->SendScintilla(QsciScintillaBase::SCI_ADDUNDOACTION, static_cast<unsigned long>(token), 0L);
}

void UndoHistory::swapPassed()
{
    const auto kept = m_kept.find(m_swapDue);
    m_swapDue = 0;
    if (kept == m_kept.end())
        return;
    Kept other{m_read(), !kept->undone};
    std::swap(*kept, other);
    m_write(other);
}

// A text kept for Redo goes once an edit has cut Redo off.
void UndoHistory::forgetUnreachable()
{
    if (!m_kept.isEmpty() && !m_editor->SendScintilla(QsciScintillaBase::SCI_CANREDO))
        m_kept.removeIf([](const auto &entry) { return entry.value().undone; });
}
