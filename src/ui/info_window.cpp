#include "info_window.h"

#include "ui/program_icon.h"
#include "ui/taskbar.h"
#include "ui/text_box.h"

#include <QGroupBox>

InfoText::InfoText(const QString &text, const QFont &font, QWidget *parent) : QsciScintilla(parent)
{
    setUpTextBox(this, font);
    setUtf8(true);

    // Read-only blocks every change, Undo included, and ours too: text first.
    setText(text);
    setReadOnly(true);
}

InfoWindow::InfoWindow(const QString &name, const QString &caption, QSize clientSize,
                       Qt::WindowFlags buttons)
    // A utility window, kept off the task bar. Exactly the buttons asked
    // for: never Maximize.
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | buttons)
{
    // Tool windows normally don't keep the program running; these do, so
    // closing the main window leaves an open About or Help window working.
    setAttribute(Qt::WA_QuitOnClose, true);
    setObjectName(name);
    setWindowTitle(caption);
    setWindowIcon(programIcon());

    // Fixed pixels at 96 DPI; a sizable border, but nothing inside follows it.
    resize(clientSize);
    centreOnScreen(this);
    keepOffTaskbar(this);
}

QGroupBox *InfoWindow::addFrame(const QString &caption, const QRect &geometry)
{
    auto *frame = new QGroupBox(caption, this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(geometry);
    return frame;
}
