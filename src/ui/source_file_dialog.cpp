#include "source_file_dialog.h"

#include <QFileDialog>

namespace {

// Qt's name filter "Desc (*.[aA] *.[bB])": the patterns match regardless of
// letter case, and only the description is shown.
QString nameFilter(const FileFilter &filter)
{
    QStringList patterns;
    for (const QString &pattern : filter.patterns) {
        QString anyCase;
        for (const QChar c : pattern) {
            if (c.isLetter() && c.toLower() != c.toUpper())
                anyCase += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
            else
                anyCase += c;
        }
        patterns << anyCase;
    }
    return filter.description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

bool SourceFileDialog::show(Mode mode, const QString &title, const FileFilter &filter, const QString &folder,
                            QString &fileName)
{
    auto *dialog = new QFileDialog(m_parent, title);
    dialog->setObjectName(QStringLiteral("CommonDialog1"));
    // Qt's own dialog behaves the same on every desktop. It asks no overwrite
    // question: Save asks its own, only before replacing a file the text did
    // not come from or one changed since.
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails
                       | QFileDialog::DontConfirmOverwrite);
    dialog->setNameFilter(nameFilter(filter));
    dialog->setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setFileMode(mode == Mode::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (fileName.isEmpty())
        dialog->setDirectory(folder);
    else
        dialog->selectFile(fileName);
    const bool accepted = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    if (accepted)
        fileName = dialog->selectedFiles().constFirst();
    // Tearing the dialog down (its settings, the file-system model's thread, a
    // file watch) takes 10-30 ms: done once the load or save that follows has
    // been painted, the user does not wait for it.
    QMetaObject::invokeMethod(dialog, &QObject::deleteLater, Qt::QueuedConnection);
    return accepted;
}
