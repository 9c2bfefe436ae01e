#pragma once

// What the commands need from the windows of the program beyond the editor.
class ProgramWindows
{
public:
    virtual ~ProgramWindows() = default;

    // Ends the program at once: no question, every window closes.
    virtual void endProgram() = 0;
    // Shows the About or Help window modeless, one instance each, brought forward when open.
    virtual void showAbout() = 0;
    virtual void showHelp() = 0;
};
