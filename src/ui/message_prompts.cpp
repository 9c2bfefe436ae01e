#include "message_prompts.h"

#include <QInputDialog>
#include <QMessageBox>

int MessagePrompts::msgBox(const QString &prompt, int buttons, const QString &title,
                           const QString &details)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setInformativeText(details);
    if (buttons == MsgBox::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgBox::Yes : MsgBox::No;
    }
    box.setIcon(QMessageBox::Critical);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return 1; // OK
}

QString MessagePrompts::inputBox(const QString &prompt, const QString &title)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, {}, &accepted);
    return accepted ? answer : QString();
}
