#pragma once

#include <QString>

// The modal boxes the commands talk to the user with.
class Prompts
{
public:
    virtual ~Prompts() = default;

    enum class Answer { Yes, No };

    // A Yes/No question; true only for Yes. `byDefault` is the button that
    // Enter presses: No where a hasty Enter would lose a file.
    virtual bool confirm(const QString &prompt, const QString &title, Answer byDefault = Answer::Yes) = 0;

    // An error box with the critical icon and one OK button. `details` is
    // shown beneath the prompt when it is not empty.
    virtual void error(const QString &prompt, const QString &title, const QString &details = {}) = 0;

    // A box that only tells something, with one OK button.
    virtual void inform(const QString &prompt, const QString &title) = 0;

    // Asks for one line of text, offering `text`; Cancel gives "" just like an
    // empty answer. The answer is never cut short.
    virtual QString input(const QString &prompt, const QString &title, const QString &text = {}) = 0;
};
