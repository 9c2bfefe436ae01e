#pragma once

#include <QString>

class Clipboard;
class Editor;
class Prompts;

// The error box for a paste of `characters` that memory ran out in.
void reportPasteShortage(Prompts &prompts, qsizetype characters);

// The editing commands: File > New Project and Edit > Cut, Copy, Paste.
// Where memory runs out in one, the error box says so and the text stays.
class EditCommands
{
public:
    EditCommands(Editor &editor, Clipboard &clipboard, Prompts &prompts);

    // True when the user said Yes and the text is gone.
    bool new_();
    void cut();
    void copy();
    void paste();

private:
    bool copySelection();

    Editor &m_editor;
    Clipboard &m_clipboard;
    Prompts &m_prompts;
};
