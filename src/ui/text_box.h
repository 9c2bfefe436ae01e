#pragma once

class QFont;
class QsciScintilla;

// The text boxes of all three windows: no margins, long lines wrapped at the
// right edge, a vertical scroll bar only.
void setUpTextBox(QsciScintilla *box, const QFont &font);
