#include "form2.h"

#include "ui/form1.h"

Form2::Form2(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("About TI-83 Plus Tarnell"));
    setWindowIcon(Form1::programIcon());
    resize(283, 138);
}
