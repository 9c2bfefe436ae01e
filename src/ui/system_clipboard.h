#pragma once

#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

// The desktop's clipboard, plain text only.
class SystemClipboard : public Clipboard
{
public:
    void clear() override { QGuiApplication::clipboard()->clear(); }

    bool setText(const QString &text) override
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText(text);
        return clipboard->text() == text; // another program may hold the clipboard
    }

    QString text() const override { return QGuiApplication::clipboard()->text(); }
};
