#include "form2.h"

#include "ui/program_icon.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>

namespace {

QString aboutText()
{
    return QStringLiteral("Program Name: TI-83 Plus Tarnell\r\n"
                          " \r\n"
                          "\r\n");
}

// "MS Sans Serif" 9.75 pt where installed, else the nearest sans-serif.
QFont aboutFont()
{
    QFont wanted(QStringLiteral("MS Sans Serif"));
    wanted.setStyleHint(QFont::SansSerif);
    wanted.setPointSizeF(9.75);
    wanted.setWeight(QFont::Normal);
    wanted.setItalic(false);
    wanted.setUnderline(false);
    // Scintilla keeps only the family name, not the style hint, so hand it the
    // family the request resolves to.
    QFont font = wanted;
    font.setFamily(QFontInfo(wanted).family());
    return font;
}

} // namespace

Form2::Form2()
    : InfoWindow(QStringLiteral("Form2"), QStringLiteral("About TI-83 Plus Tarnell"), QSize(283, 138),
                 {})
{
    Frame1 = addFrame(QString(), QRect(0, 0, 281, 137));

    Text1 = new InfoText(aboutText(), aboutFont(), Frame1);
    Text1->setColor(QColor(255, 0, 0));
    Text1->setGeometry(8, 16, 265, 113);
    // Its frame has no caption to name it by, as Help's has.
    Text1->setAccessibleName(windowTitle());

    // The icon sits on the text box, in its lower left part, below the text.
    Picture1 = new QLabel(Frame1);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(16, 88, 41, 41);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(programIcon().pixmap(QSize(32, 32)));
    Picture1->setAutoFillBackground(true);
    QPalette white = Picture1->palette();
    white.setColor(QPalette::Window, QColor(255, 255, 255));
    Picture1->setPalette(white);
    Picture1->setFocusPolicy(Qt::TabFocus); // Tab moves on from the text to it
    Picture1->setAccessibleName(QStringLiteral("Program Icon"));
    Picture1->raise();

    setTabOrder(Text1, Picture1);
    Text1->setFocus();
}
