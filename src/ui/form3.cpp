#include "form3.h"

#include "ui/form1.h"

Form3::Form3(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Help"));
    setWindowIcon(Form1::programIcon());
    resize(356, 255);
}
