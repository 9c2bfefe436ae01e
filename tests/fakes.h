#pragma once

// Stand-ins for the platform: an editor that is bytes plus a selection, a
// clipboard that can refuse, prompts and a file dialog that answer from a
// script, a launcher that records command lines.

#include "app/commands.h"
#include "platform/clipboard.h"
#include "platform/editor.h"
#include "platform/file_dialog.h"
#include "platform/launcher.h"
#include "platform/program_windows.h"
#include "platform/prompts.h"

#include <QStringList>

class FakeEditor : public Editor
{
public:
    QByteArray bytes;
    qsizetype selectionStart = 0, selectionEnd = 0;

    QByteArray text() const override { return bytes; }
    QByteArrayView textView() const override { return bytes; }
    void replaceText(QByteArrayView newText) override
    {
        bytes = newText.toByteArray();
        selectionStart = selectionEnd = 0;
    }
    bool replaceText(qsizetype, const Source &source) override
    {
        QByteArray read;
        char buffer[7]; // small, so that reading in pieces is exercised
        for (qsizetype count; (count = source(buffer, sizeof buffer)) != 0; read.append(buffer, count))
            if (count < 0)
                return false;
        replaceText(read);
        return true;
    }
    QString selectedText() const override
    {
        return QString::fromUtf8(bytes.mid(selectionStart, selectionEnd - selectionStart));
    }
    void replaceSelection(const QString &text) override
    {
        bytes.replace(selectionStart, selectionEnd - selectionStart, text.toUtf8());
        selectionStart = selectionEnd = selectionStart + text.toUtf8().size();
    }
    Range selection() const override { return {selectionStart, selectionEnd}; }
    void select(Range range) override { selectionStart = range.start, selectionEnd = range.end; }
    std::optional<QByteArray> bytesShowing(const QString &text) const override { return text.toUtf8(); }
    qsizetype lineCount() const override { return lineStarts().size(); }
    void goToLine(qsizetype line) override { selectionStart = selectionEnd = lineStarts().value(line, -1); }
    QList<qsizetype> lineStarts() const // after each CR LF, LF and lone CR
    {
        QList<qsizetype> starts{0};
        for (qsizetype i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\n' || (bytes[i] == '\r' && bytes.mid(i + 1, 1) != "\n"))
                starts << i + 1;
        return starts;
    }
};

class FakeClipboard : public Clipboard
{
public:
    QString content;
    bool refuses = false; // another program holds the clipboard
    void clear() override { content.clear(); }
    bool setText(const QString &text) override
    {
        if (!refuses)
            content = text;
        return !refuses;
    }
    QString text() const override { return content; }
};

class FakePrompts : public Prompts
{
public:
    bool yes = true;       // the answer to every question
    QString typed;         // typed into every input box ("" is also Cancel)
    QStringList shown;     // every box, as "confirm|title|prompt|Yes" (the default button),
                           // "error|title|prompt|details", "inform|title|prompt", "input|title|prompt|offered text"

    bool confirm(const QString &prompt, const QString &title, Answer byDefault) override
    {
        shown << "confirm|" + title + '|' + prompt + (byDefault == Answer::Yes ? "|Yes" : "|No");
        return yes;
    }
    void error(const QString &prompt, const QString &title, const QString &details) override
    {
        shown << "error|" + title + '|' + prompt + '|' + details;
    }
    void inform(const QString &prompt, const QString &title) override
    {
        shown << "inform|" + title + '|' + prompt;
    }
    QString input(const QString &prompt, const QString &title, const QString &text) override
    {
        shown << "input|" + title + '|' + prompt + '|' + text;
        return typed;
    }
};

class FakeFileDialog : public FileDialog
{
public:
    QString choice;  // the path the user picks; "" cancels
    QString offered; // the name the dialog offered last time
    QString title;
    QString folder; // the folder it was handed last time

    bool show(Mode, const QString &t, const FileFilter &, const QString &f, QString &fileName) override
    {
        title = t;
        folder = f;
        offered = fileName;
        if (choice.isEmpty())
            return false;
        fileName = choice;
        return true;
    }
};

class FakeLauncher : public Launcher
{
public:
    QStringList started; // every command line handed over
    QString folder;      // the working folder handed over last
    QString refusal;     // when set, every start fails with it
    bool start(const QString &commandLine, const QString &workingFolder, QString &error) override
    {
        started << commandLine;
        folder = workingFolder;
        error = refusal;
        return refusal.isEmpty();
    }
};

class FakeWindows : public ProgramWindows
{
public:
    void endProgram() override {}
    void showAbout() override {}
    void showHelp() override {}
};

// Everything the commands reach, made afresh for each test, started in `start`.
struct FakeDesk
{
    explicit FakeDesk(QString folder = "/start") : start(std::move(folder)) {}
    QString start;
    FakeEditor editor;
    FakeClipboard clipboard;
    FakePrompts prompts;
    FakeFileDialog dialog;
    FakeLauncher launcher;
    FakeWindows windows;
    Commands commands{Platform{editor, clipboard, prompts, dialog, launcher, windows, "/own/copies", start}};
};
