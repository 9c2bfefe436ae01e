#pragma once

#include "platform/file_dialog.h"

class QWidget;

// CommonDialog1: Qt's file dialog over the main window. The name it offers is
// kept by the commands; each showing builds the dialog afresh, because a kept
// QFileDialog can hold on to the previous selection in its file list and
// return that instead of the name it shows when the offered file is newer
// than its listing.
class SourceFileDialog : public FileDialog
{
public:
    explicit SourceFileDialog(QWidget *parent) : m_parent(parent) {}

    bool show(Mode mode, const QString &title, const FileFilter &filter, const QString &folder,
              QString &fileName) override;

private:
    QWidget *m_parent;
};
