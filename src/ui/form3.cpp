#include "form3.h"

#include <QApplication>
#include <QGroupBox>
#include <QStringList>

namespace {

QString helpText()
{
    // One paragraph a line; the text box wraps them.
    const QStringList lines = {
        QStringLiteral("Tarnell Version " TARNELL_VERSION),
        QString(),
        QStringLiteral("Requirements"),
        QStringLiteral("How to use"),
        QString(),
        QStringLiteral("Tarnell"),
        QStringLiteral("Date: 9-7-2001"),
        QStringLiteral("Requirements"),
        QStringLiteral("To run Tarnell you must have at least a 486/66 MHZ running Windows 95 or higher "
                       "with 16 megabytes of ram or higher. (Windows NT May not be supported, as it has "
                       "never been tested on.) You will need to have the dependency files to run this "
                       "program as well. If you get an error such as a file not being found, some of "
                       "the runtime files are missing from your computer and you will have to get them "
                       "separately."),
        QString(),
        QStringLiteral("How to Use"),
        QStringLiteral("It is not hard to use Tarnell. that is why the program has been developed, to make "
                       "it easier for 83 Plus assembler programmers. When you first run the program, you "
                       "are given a blank screen. If you are developing for a specific shell, go to the "
                       "project menu and highlight insert header. This will enable you to insert a variety "
                       "of shell headers into the editor. You can also customize these headers as they are "
                       "located in their proper external text files. When the user is finished writing "
                       "their program, the user can go to the projects menu, and will be presented a "
                       "variety of options to which shell to compile to. After the user chooses the "
                       "appropriate selection, a text box will show up asking the user to enter the name "
                       "of their program. Once the user has typed in the name of the program, a command "
                       "prompt box should show up showing the progress of the compilation. The user need "
                       "not type anything in the command prompts, as Tarnell already does this for you. "),
        QString(),
        QStringLiteral("Note: Custom compilation is for the advanced users. this allows the user to choose "
                       "which compiler to use for what shell. Example: Syntax to use:  <name of batch file "
                       "or compiler>  Name of program  -extra parameters"),
    };
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace

Form3::Form3()
    : InfoWindow(QStringLiteral("Form3"), QStringLiteral("Help"), QSize(356, 255),
                 Qt::WindowMinimizeButtonHint)
{
    Frame1 = addFrame(QStringLiteral("Help"), QRect(0, 0, 353, 249));

    Text1 = new InfoText(helpText(), QApplication::font(), Frame1);
    Text1->setGeometry(8, 16, 337, 225);
    Text1->setFocus();
}
