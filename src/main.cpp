#include "display_check.h"
#include "ui/form1.h"
#include "ui/program_icon.h"

#include <QApplication>
#include <QFileInfo>
#include <QSettings>

#include <csignal>
#include <cstdio>

namespace {

// The program's own header templates and build scripts: share/tarnell beside
// bin/, the same in the build tree and installed.
QString dataFolder()
{
    const QFileInfo folder(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tarnell"));
    return folder.isDir() ? folder.canonicalFilePath() : QString();
}

} // namespace

int main(int, char *argv[])
{
    // A file-size limit makes a save fail with "File too large" instead of
    // ending the program with the unsaved text.
    std::signal(SIGXFSZ, SIG_IGN);

    // Before Qt, which ends with a core dump where no window can open.
    if (const QString missing = missingDisplay(); !missing.isEmpty()) {
        std::fprintf(stderr, "tarnell: cannot open a window: %s\n", qPrintable(missing));
        return 1;
    }

    // The program takes no arguments, so Qt gets none of them either.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("tarnell"));
    QApplication::setApplicationVersion(QStringLiteral(TARNELL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tarnell"));
    QApplication::setWindowIcon(programIcon());

    // Nothing is kept between runs: whatever Qt itself would store (the file
    // dialog's folder history) goes where nothing can be written.
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));

    Form1 form(dataFolder());
    form.show();
    return app.exec();
}
