#pragma once

#include <QString>

// The one file dialog of the main window (CommonDialog1).
class FileDialog
{
public:
    enum class Mode { Open, Save };

    virtual ~FileDialog() = default;

    // Shows the dialog modal, offering `fileName`. `filter` is "Description|*.a;*.b".
    // Returns true with the chosen full path in `fileName` when the user confirms;
    // returns false and leaves `fileName` alone when the dialog is cancelled.
    virtual bool show(Mode mode, const QString &title, const QString &filter, QString &fileName) = 0;
};
