#include "message_prompts.h"

#include <QInputDialog>
#include <QMessageBox>

bool MessagePrompts::confirm(const QString &prompt, const QString &title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MessagePrompts::error(const QString &title, const QString &prompt, const QString &details)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setInformativeText(details);
    box.setIcon(QMessageBox::Critical);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QString MessagePrompts::input(const QString &prompt, const QString &title)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, {}, &accepted);
    return accepted ? answer : QString();
}
