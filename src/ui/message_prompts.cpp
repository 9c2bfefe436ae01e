#include "message_prompts.h"

#include <QInputDialog>
#include <QMessageBox>

namespace {

// Qt shows the program's file name in place of an empty caption, so a box
// without a title of its own takes the caption of the window it belongs to.
QString caption(const QString &title, const QWidget *parent)
{
    return title.isEmpty() && parent ? parent->window()->windowTitle() : title;
}

} // namespace

bool MessagePrompts::confirm(const QString &prompt, const QString &title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(caption(title, m_parent));
    box.setText(prompt);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MessagePrompts::error(const QString &title, const QString &prompt, const QString &details)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(caption(title, m_parent));
    box.setText(prompt);
    box.setInformativeText(details);
    box.setIcon(QMessageBox::Critical);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QString MessagePrompts::input(const QString &prompt, const QString &title)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(m_parent, caption(title, m_parent), prompt,
                                                 QLineEdit::Normal, {}, &accepted);
    return accepted ? answer : QString();
}
