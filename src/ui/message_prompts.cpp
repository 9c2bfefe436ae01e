#include "message_prompts.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <limits>

namespace {

// Qt shows the program's file name in place of an empty caption, so a box
// without a title of its own takes the caption of the window it belongs to.
QString caption(const QString &title, const QWidget *parent)
{
    return title.isEmpty() && parent ? parent->window()->windowTitle() : title;
}

} // namespace

bool MessagePrompts::confirm(const QString &prompt, const QString &title, Answer byDefault)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(caption(title, m_parent));
    box.setText(prompt);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(byDefault == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MessagePrompts::error(const QString &prompt, const QString &title, const QString &details)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(caption(title, m_parent));
    box.setText(prompt);
    box.setInformativeText(details);
    box.setIcon(QMessageBox::Critical);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void MessagePrompts::inform(const QString &prompt, const QString &title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(caption(title, m_parent));
    box.setText(prompt);
    box.setIcon(QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QString MessagePrompts::input(const QString &prompt, const QString &title, const QString &text)
{
    QInputDialog box(m_parent);
    box.setWindowTitle(caption(title, m_parent));
    box.setLabelText(prompt);
    box.setInputMode(QInputDialog::TextInput); // which makes its line edit
    // A line edit keeps only its first 32,767 characters; a pasted command
    // line must arrive whole or not at all.
    if (auto *line = box.findChild<QLineEdit *>())
        line->setMaxLength(std::numeric_limits<int>::max());
    box.setTextValue(text);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}
