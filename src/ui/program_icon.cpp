#include "program_icon.h"

QIcon programIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tarnell-32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/tarnell-16.xpm"), QSize(16, 16));
    return icon;
}
