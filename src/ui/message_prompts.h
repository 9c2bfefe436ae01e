#pragma once

#include "app/prompts.h"

class QWidget;

// The message box and the input box, shown modal over the main window.
class MessagePrompts : public Prompts
{
public:
    explicit MessagePrompts(QWidget *parent) : m_parent(parent) {}

    int msgBox(const QString &prompt, int buttons, const QString &title,
               const QString &details = {}) override;
    QString inputBox(const QString &prompt, const QString &title) override;

private:
    QWidget *m_parent;
};
