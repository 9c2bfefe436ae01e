#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>

#include <functional>

class QsciScintillaBase;

// Whole-text replacements (New, Load, Insert Header) as steps of the editor's
// Undo and Redo. Scintilla would record both the old and the new text; its
// history holds only a marker (a container action) for each replacement, and
// the text on the other side of it is kept here, once. The editor reports
// container actions (SC_MOD_CONTAINER in its event mask).
class UndoHistory : public QObject
{
    Q_OBJECT

public:
    struct Text
    {
        QByteArray bytes;
        bool utf8 = true; // displayed as UTF-8, else Latin-1
    };
    // The editor's whole text now, and putting one in its place without
    // recording an undo step.
    using Read = std::function<Text()>;
    using Write = std::function<void(const Text &)>;

    UndoHistory(QsciScintillaBase *editor, Read read, Write write);

    // The text has just been replaced; `before` is what it was.
    void recordReplacement(Text before);
    // To be called after Scintilla's Undo or Redo: when it passed a
    // replacement, the text and its display change places with the ones kept.
    void swapPassed();

private:
    struct Kept : Text
    {
        bool undone = false; // then `bytes` is the newer text, for Redo
    };

    void forgetUnreachable();

    QsciScintillaBase *m_editor;
    Read m_read;
    Write m_write;
    QHash<int, Kept> m_kept; // by Scintilla undo token
    int m_nextToken = 1;
    int m_swapDue = 0; // token whose step Undo or Redo has just passed
};
