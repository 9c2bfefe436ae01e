#pragma once

#include "document/file_dialog.h"

class QFileDialog;
class QWidget;

// CommonDialog1: one Qt file dialog, kept for the life of the main window.
class SourceFileDialog : public FileDialog
{
public:
    explicit SourceFileDialog(QWidget *parent);

    bool show(Mode mode, const QString &title, const QString &filter, QString &fileName) override;

    // "Desc|*.a;*.B" as Qt's name filter "Desc (*.[aA] *.[bB])": the patterns
    // match regardless of letter case, and only the description is shown.
    static QString nameFilter(const QString &filter);

    QFileDialog *dialog() const { return m_dialog; }

private:
    QFileDialog *m_dialog;
};
