#pragma once

// Stand-ins for what a person does: answering a box, choosing in a file dialog.

#include "app/program_windows.h"
#include "app/prompts.h"
#include "document/file_dialog.h"

#include <QList>
#include <QStringList>

struct ShownBox
{
    QString prompt;
    int buttons;
    QString title;
    QString details;
};

class FakePrompts : public Prompts
{
public:
    int answer = MsgBox::Yes;  // the button pressed in every Yes/No box
    QString typed;             // what is typed into every input box ("" is also Cancel)
    QList<ShownBox> boxes;     // every message box shown
    QStringList inputs;        // prompt and title of every input box, "prompt|title"

    int msgBox(const QString &prompt, int buttons, const QString &title, const QString &details) override
    {
        boxes.append({prompt, buttons, title, details});
        return buttons == MsgBox::YesNo ? answer : 1;
    }

    QString inputBox(const QString &prompt, const QString &title) override
    {
        inputs << prompt + QLatin1Char('|') + title;
        return typed;
    }
};

class FakeFileDialog : public FileDialog
{
public:
    QString choice;            // the path the user picks; "" cancels
    QString offered;           // the name the dialog offered last time
    QString title;
    QString filter;
    Mode mode = Mode::Open;
    int shown = 0;

    bool show(Mode m, const QString &t, const QString &f, QString &fileName) override
    {
        ++shown;
        mode = m;
        title = t;
        filter = f;
        offered = fileName;
        if (choice.isEmpty())
            return false;
        fileName = choice;
        return true;
    }
};

class CountingWindows : public ProgramWindows
{
public:
    int ended = 0, abouts = 0, helps = 0;
    void endProgram() override { ++ended; }
    void showAbout() override { ++abouts; }
    void showHelp() override { ++helps; }
};
