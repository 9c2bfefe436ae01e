#pragma once

#include <QString>

// The two modal boxes the commands talk to the user with. The numbers are the
// message box's button codes and answers, which the commands compare against.
namespace MsgBox {
constexpr int YesNo = 4;     // buttons Yes and No
constexpr int Critical = 16; // critical icon, OK only
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgBox

class Prompts
{
public:
    virtual ~Prompts() = default;

    // Shows `prompt` captioned `title` and returns the code of the button pressed.
    // `details` is shown beneath the prompt when it is not empty.
    virtual int msgBox(const QString &prompt, int buttons, const QString &title,
                       const QString &details = {}) = 0;

    // Asks for one line of text; Cancel gives "" just like an empty answer.
    virtual QString inputBox(const QString &prompt, const QString &title) = 0;
};
