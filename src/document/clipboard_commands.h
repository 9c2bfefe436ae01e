#pragma once

class Clipboard;
class Editor;
class Prompts;

// File > New Project and the Edit menu: Cut, Copy, Paste.
class ClipboardCommands
{
public:
    ClipboardCommands(Editor &editor, Clipboard &clipboard, Prompts &prompts);

    void new_();
    void cut();
    void copy();
    void paste();

private:
    bool copySelection();

    Editor &m_editor;
    Clipboard &m_clipboard;
    Prompts &m_prompts;
};
