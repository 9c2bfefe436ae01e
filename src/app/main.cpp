#include "ui/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarnell"));
    QApplication::setApplicationVersion(QStringLiteral("1.01"));
    QApplication::setDesktopFileName(QStringLiteral("tarnell"));
    QApplication::setWindowIcon(Form1::programIcon());

    Form1 form;
    form.show();
    return app.exec();
}
