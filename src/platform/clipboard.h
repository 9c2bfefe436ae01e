#pragma once

#include <QString>

// The system clipboard, plain text only.
class Clipboard
{
public:
    virtual ~Clipboard() = default;

    virtual void clear() = 0;
    // Returns false when the clipboard did not take the text.
    virtual bool setText(const QString &text) = 0;
    // "" when the clipboard holds no text.
    virtual QString text() const = 0;
};
