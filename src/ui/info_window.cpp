#include "info_window.h"

#include "ui/program_icon.h"
#include "ui/text_box.h"
#include "ui/window_manager.h"

#include <QAccessibleWidget>
#include <QGroupBox>

namespace {

// A plain QWidget reads to a screen reader as a filler; these are windows.
QAccessibleInterface *infoWindowFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("InfoWindow"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

void installAccessibleFactory()
{
    static const bool installed = (QAccessible::installFactory(infoWindowFactory), true);
    Q_UNUSED(installed);
}

} // namespace

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
    // An ordinary window: a tool window would be stacked above the main
    // window and minimised with it, and would lose its Minimize button.
    // Exactly the buttons asked for: never Maximize.
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | buttons)
{
    installAccessibleFactory();
    setObjectName(name);
    setWindowTitle(caption);
    setWindowIcon(programIcon());

    // Fixed pixels at 96 DPI; a sizable border, but nothing inside follows it.
    resize(clientSize);
    keepOffTaskbar(this);
    centreOnScreen(this); // after every hint that can change the frame
}

QGroupBox *InfoWindow::addFrame(const QString &caption, const QRect &geometry)
{
    auto *frame = new QGroupBox(caption, this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(geometry);
    return frame;
}
