#include "today.h"

#include <QDate>
#include <QLocale>

QString todayShortText()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}
