#pragma once

#include "platform/prompts.h"

class QWidget;

// The message box and the input box, shown modal over the main window.
class MessagePrompts : public Prompts
{
public:
    explicit MessagePrompts(QWidget *parent) : m_parent(parent) {}

    bool confirm(const QString &prompt, const QString &title, Answer byDefault = Answer::Yes) override;
    void error(const QString &prompt, const QString &title, const QString &details = {}) override;
    void inform(const QString &prompt, const QString &title) override;
    QString input(const QString &prompt, const QString &title, const QString &text = {}) override;

private:
    QWidget *m_parent;
};
