#pragma once

#include <Qsci/qsciscintilla.h>

#include <QWidget>

class QGroupBox;

// Text1 of the About and Help windows: a fixed text, read-only, wrapped, with
// a vertical scroll bar only. Scintilla keeps the text as given, CR LF included,
// and its read-only mode still lets the user move the caret, select and copy.
class InfoText : public QsciScintilla
{
    Q_OBJECT

public:
    InfoText(const QString &text, const QFont &font, QWidget *parent);
};

// What the About and Help windows share: a small window of its own, no owner,
// centred, with the program icon and a frame placed at fixed pixels.
class InfoWindow : public QWidget
{
    Q_OBJECT

protected:
    // buttons: the title-bar buttons besides the close box.
    InfoWindow(const QString &name, const QString &caption, QSize clientSize,
               Qt::WindowFlags buttons);

    QGroupBox *addFrame(const QString &caption, const QRect &geometry);
};
