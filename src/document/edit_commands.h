#pragma once

class Clipboard;
class Editor;
class Prompts;

// The editing commands: File > New Project and Edit > Cut, Copy, Paste.
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
