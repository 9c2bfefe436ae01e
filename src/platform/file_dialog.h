#pragma once

#include <QString>
#include <QStringList>

// What the file dialog lists: one description and its patterns ("*.z80").
// Patterns match regardless of letter case.
struct FileFilter
{
    QString description;
    QStringList patterns;
};

// The one file dialog of the main window (CommonDialog1).
class FileDialog
{
public:
    enum class Mode { Open, Save };

    virtual ~FileDialog() = default;

    // Shows the dialog modal, offering `fileName`, or open in `folder` when
    // that is empty. Returns true with the chosen full path in `fileName` when
    // the user confirms; returns false and leaves `fileName` alone when the
    // dialog is cancelled.
    virtual bool show(Mode mode, const QString &title, const FileFilter &filter, const QString &folder,
                      QString &fileName) = 0;
};
