#include "source_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QSettings>

SourceFileDialog::SourceFileDialog(QWidget *parent) : m_parent(parent)
{
    // Qt's file dialog writes its folder history and view state to the user's
    // settings when it closes. Tarnell keeps nothing between runs, so this
    // process's user settings go where nothing can be written.
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}

QString SourceFileDialog::nameFilter(const QString &filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    QStringList patterns;
    for (const QString &pattern : filter.mid(bar + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString anyCase;
        for (const QChar c : pattern) {
            if (c.isLetter() && c.toLower() != c.toUpper())
                anyCase += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
            else
                anyCase += c;
        }
        patterns << anyCase;
    }
    return filter.left(bar) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

bool SourceFileDialog::show(Mode mode, const QString &title, const QString &filter, QString &fileName)
{
    QFileDialog dialog(m_parent, title);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    // Qt's own dialog behaves the same on every desktop, and no overwrite
    // question is asked: the user chose the name.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails
                      | QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(nameFilter(filter));
    dialog.setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(mode == Mode::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (fileName.isEmpty())
        dialog.setDirectory(QDir::currentPath());
    else
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().constFirst();
    return true;
}
