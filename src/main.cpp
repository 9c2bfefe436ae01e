#include "app/arguments.h"
#include "display_check.h"
#include "ui/form1.h"
#include "ui/program_icon.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>

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

int main(int argc, char *argv[])
{
    // A file-size limit makes a save fail with "File too large" instead of
    // ending the program with the unsaved text.
    std::signal(SIGXFSZ, SIG_IGN);

    // Before the display check: --help and --version need no window.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QFile::decodeName(argv[i]);
    const Arguments arguments = parseArguments(words);
    switch (arguments.action) {
    case Arguments::Action::Help:
    case Arguments::Action::Version:
        std::fputs(arguments.message.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1; // a full disk or a closed pipe is a failure
    case Arguments::Action::Fail:
        std::fputs(arguments.message.toLocal8Bit().constData(), stderr);
        return 2;
    case Arguments::Action::Start:
        break;
    }

    // Before Qt, which ends with a core dump where no window can open.
    if (const QString missing = missingDisplay(); !missing.isEmpty()) {
        std::fprintf(stderr, "tarnell: cannot open a window: %s\n", qPrintable(missing));
        return 1;
    }

    // Qt gets none of the arguments; parseArguments() passed over its options.
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
    // Once the window is up, so that a box about the file shows over it.
    QTimer::singleShot(0, &form, [&form, &arguments] { form.loadAtStart(arguments.files); });
    return app.exec();
}
