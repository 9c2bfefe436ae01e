#include "source_file_dialog.h"

#include <QDir>
#include <QFileDialog>

SourceFileDialog::SourceFileDialog(QWidget *parent) : m_dialog(new QFileDialog(parent))
{
    m_dialog->setObjectName(QStringLiteral("CommonDialog1"));
    // Qt's own dialog behaves the same on every desktop, and no overwrite
    // question is asked: the user chose the name.
    m_dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails
                         | QFileDialog::DontConfirmOverwrite);
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
    m_dialog->setWindowTitle(title);
    m_dialog->setNameFilter(nameFilter(filter));
    m_dialog->setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    m_dialog->setFileMode(mode == Mode::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (fileName.isEmpty()) {
        m_dialog->setDirectory(QDir::currentPath());
        m_dialog->selectFile(QString());
    } else {
        m_dialog->selectFile(fileName);
    }
    if (m_dialog->exec() != QDialog::Accepted || m_dialog->selectedFiles().isEmpty())
        return false;
    fileName = m_dialog->selectedFiles().constFirst();
    return true;
}
