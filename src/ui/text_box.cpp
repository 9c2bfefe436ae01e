#include "text_box.h"

#include <Qsci/qsciscintilla.h>

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
