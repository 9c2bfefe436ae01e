#pragma once

#include <QString>

class Editor;
class Prompts;

// Find (Ctrl+F), Find Next (F3), Find Previous (Shift+F3) and Go To Line
// (Ctrl+G). They move the caret and the selection and change no byte.
class FindCommands
{
public:
    FindCommands(Editor &editor, Prompts &prompts);

    void find();
    void find_next();
    void find_previous();
    void go_to_line();

private:
    bool ask();
    // Where memory runs out, the error box says so and nothing moves.
    void search(bool backward);
    void searchFor(bool backward);

    Editor &m_editor;
    Prompts &m_prompts;
    QString m_searched; // the last text searched for
};
