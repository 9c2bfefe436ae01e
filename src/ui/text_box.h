#pragma once

class QFont;
class QsciScintilla;
class QWidget;

// The text boxes of all three windows: no margins, long lines wrapped at the
// right edge, a vertical scroll bar only.
void setUpTextBox(QsciScintilla *box, const QFont &font);

// Places a top-level window in the middle of the screen, frame and title bar
// included where the window manager tells their size. Call it before the
// window is first shown, with its hints and size set.
void centreOnScreen(QWidget *window);
