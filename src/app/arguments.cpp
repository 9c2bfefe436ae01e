#include "arguments.h"

namespace {

const char usage[] = R"(Usage: tarnell [--] [FILE]
       tarnell --help | --version
Edit TI-83 Plus Z80 assembly source. Starts with the text of FILE, loaded as
File > Load Project loads it, or with an empty editor.

  --help     show this text and exit
  --version  show the name and version and exit
  --         end of options: what follows is a FILE, even when it starts with -
)";

// Qt 6's own options (QGuiApplication, QApplication and the X11 platform), with
// one dash or, as Qt also takes them, two. These take the next argument...
const QStringList qtWithValue = {
    QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),   QStringLiteral("qwindowgeometry"),    QStringLiteral("geometry"),
    QStringLiteral("qwindowicon"), QStringLiteral("icon"),            QStringLiteral("qwindowtitle"),
    QStringLiteral("title"),    QStringLiteral("session"),            QStringLiteral("style"),
    QStringLiteral("stylesheet"), QStringLiteral("display"),          QStringLiteral("name"),
    QStringLiteral("visual")};
// ...these take none...
const QStringList qtAlone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                             QStringLiteral("testability"), QStringLiteral("nograb"), QStringLiteral("dograb")};
// ...and these may carry it after '=' in the same argument.
const QStringList qtJoined = {QStringLiteral("style"), QStringLiteral("stylesheet"), QStringLiteral("qmljsdebugger")};

} // namespace

Arguments parseArguments(const QStringList &arguments)
{
    using Action = Arguments::Action;
    Arguments result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--")) {
            result.files += arguments.mid(i + 1);
            break;
        }
        if (!argument.startsWith(QLatin1Char('-'))) {
            result.files << argument;
            continue;
        }
        if (argument == QLatin1String("--help"))
            return {Action::Help, {}, QString::fromUtf8(usage)};
        if (argument == QLatin1String("--version"))
            return {Action::Version, {}, QStringLiteral("tarnell " TARNELL_VERSION "\n")};
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (qtWithValue.contains(name))
            ++i;
        else if (!qtAlone.contains(name)
                 && !(name.contains(QLatin1Char('=')) && qtJoined.contains(name.section(QLatin1Char('='), 0, 0))))
            return {Action::Fail, {},
                    QStringLiteral("tarnell: unknown option %1; see tarnell --help\n").arg(argument)};
    }
    return result;
}
