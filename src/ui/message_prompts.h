#pragma once

#include "platform/prompts.h"

class QWidget;

// The message box and the input box, shown modal over the main window.
class MessagePrompts : public Prompts
{
public:
    explicit MessagePrompts(QWidget *parent) : m_parent(parent) {}

    bool confirm(const QString &prompt, const QString &title) override;
    void error(const QString &title, const QString &prompt, const QString &details = {}) override;
    QString input(const QString &prompt, const QString &title) override;

private:
    QWidget *m_parent;
};
