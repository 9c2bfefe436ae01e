#include "text_box.h"

#include "ui/taskbar.h"

#include <Qsci/qsciscintilla.h>

#include <QGuiApplication>
#include <QScreen>

void setUpTextBox(QsciScintilla *box, const QFont &font)
{
    box->setObjectName(QStringLiteral("Text1"));
    box->setFont(font);
    for (int margin = 0; margin < 5; ++margin)
        box->setMarginWidth(margin, 0);
    box->setWrapMode(QsciScintilla::WrapWord);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QMargins frame = frameExtents(window);
    QRect outer(QPoint(), window->size().grownBy(frame));
    outer.moveCenter(screen->availableGeometry().center());
    // On X11 the native window exists by now and Qt does not know its frame
    // yet, so move() places the inside of the window; elsewhere there is no
    // frame to tell the two apart.
    window->move(outer.topLeft() + QPoint(frame.left(), frame.top()));
}
