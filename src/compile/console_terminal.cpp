#include "console_terminal.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace ConsoleTerminal {

namespace {

bool runsHere(const Interface &terminal, bool xDisplay, bool wayland)
{
    return terminal.needsX ? xDisplay : terminal.needsWayland ? wayland : xDisplay || wayland;
}

// For a terminal that expands variables: no '$' is left for it to read, and
// the console's script decodes each word with printf's %b.
QString withoutDollar(const QString &word)
{
    QString out;
    for (const QChar c : word) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\0134");
        else if (c == QLatin1Char('$'))
            out += QLatin1String("\\0044");
        else
            out += c;
    }
    return out;
}

QString singleQuoted(QString word)
{
    return QLatin1Char('\'') + word.replace(QLatin1String("'"), QLatin1String("'\\''")) + QLatin1Char('\'');
}

} // namespace

Interface interfaceOf(const QString &name)
{
    static const QStringList xterms{QStringLiteral("xterm"), QStringLiteral("uxterm"), QStringLiteral("lxterm"),
                                    QStringLiteral("koi8rxterm")};
    Interface terminal;
    if (xterms.contains(name)) {
        terminal.needsX = true;
        // Its default bitmap font is small.
        terminal.options = QStringList{QStringLiteral("-fa"), QStringLiteral("Monospace"), QStringLiteral("-fs"),
                                       QStringLiteral("11")};
    } else if (name == QLatin1String("qterminal")) {
        // It rejects -T; its session code, Konsole's, expands variables.
        terminal.titleOption.clear();
        terminal.words = Interface::NoDollar;
    } else if (name == QLatin1String("konsole")) {
        terminal.words = Interface::NoDollar; // its -T is taken and ignored
    } else if (name == QLatin1String("tilix.wrapper")) {
        // It hands several words to tilix -x, which joins them and splits the
        // line again; one word goes to tilix -e, which splits it as a shell would.
        terminal.words = Interface::Quoted;
    } else if (name == QLatin1String("terminator")) {
        // Its -e takes the rest of the line only when it is called x-terminal-emulator.
        terminal.commandOption = QStringLiteral("-x");
    } else if (name == QLatin1String("foot") || name == QLatin1String("footclient")) {
        terminal.needsWayland = true;
    }
    // Debian's gnome-terminal.wrapper, mate-terminal.wrapper and
    // xfce4-terminal.wrapper, lxterminal and the rest take xterm's -T and -e.
    return terminal;
}

QString resolvedName(const QString &terminal)
{
    return QFileInfo(QFileInfo(terminal).canonicalFilePath()).fileName();
}

QString find(const QString &searchPath, bool xDisplay, bool wayland, QString &error)
{
    const QStringList folders = CommandLine::searchFolders(searchPath);
    const QString debian = QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"), folders);
    const Interface debianInterface = interfaceOf(resolvedName(debian));
    if (!debian.isEmpty() && runsHere(debianInterface, xDisplay, wayland))
        return debian;
    const QString xterm = QStandardPaths::findExecutable(QStringLiteral("xterm"), folders);
    if (xDisplay && !xterm.isEmpty())
        return xterm;

    if (!xDisplay && !wayland) {
        error = QStringLiteral("no console window can be opened: there is no X display (DISPLAY) "
                               "and no Wayland session (WAYLAND_DISPLAY)");
        return {};
    }
    if (xDisplay)
        error = QStringLiteral("no terminal program to show the build in: install xterm "
                               "or another x-terminal-emulator");
    else
        error = QStringLiteral("no terminal program that runs without an X display: install one "
                               "for Wayland as x-terminal-emulator, or start Tarnell with DISPLAY set");
    if (!debian.isEmpty())
        error += QStringLiteral(" (x-terminal-emulator is %1, which needs %2)")
                     .arg(resolvedName(debian), debianInterface.needsX ? QStringLiteral("an X display")
                                                                       : QStringLiteral("a Wayland session"));
    return {};
}

LaunchPlan inConsole(const LaunchPlan &build, const QString &terminal, const QString &workingDirectory,
                     const QString &fifo)
{
    // The build's words travel as the shell's positional parameters and run as
    // "$@": the shell adds the wait at the end but never re-reads what they
    // say. It changes to the working directory itself, as a terminal server
    // starts the console in a folder of its own. Every $ is followed by {, @ or
    // ( so that no terminal that expands variables finds a name to expand.
    static const QString keepOpen = QStringLiteral(
        "fifo=${1} dir=${2}; shift 2; "
        "[ -p \"${fifo}\" ] && { printf 'started\\n' 1<>\"${fifo}\"; } 2>/dev/null; "
        "cd -- \"${dir}\" && \"$@\"; status=${?}; echo; echo \"Build finished with exit status ${status}.\"; "
        "printf 'Press Enter to close this window. '; read answer");
    // Each word back as it was before withoutDollar(); the x keeps a trailing newline.
    static const QString decode = QStringLiteral(
        "n=${#}; while [ \"${n}\" -gt 0 ]; do w=$(printf '%bx' \"${1}\"); shift; "
        "set -- \"$@\" \"${w%x}\"; n=$((n - 1)); done; ");

    const QString name = resolvedName(terminal);
    const Interface interface = interfaceOf(name);
    LaunchPlan console;
    console.program = terminal;
    console.name = name;
    // An ordinary window with the focus, never iconified: on a desktop without
    // a task bar an iconified console is out of sight.
    console.arguments = interface.options;
    if (!interface.titleOption.isEmpty()) {
        // Only the name in the title: a whole command line there could pass the
        // kernel's limit on one argument and keep the build from starting.
        QString title = QStringLiteral("Tarnell: ") + build.name;
        if (title.size() > 60)
            title = title.left(59) + QChar(0x2026);
        console.arguments << interface.titleOption << title;
    }
    QStringList words = QStringList{fifo, workingDirectory, build.program} + build.arguments;
    if (interface.words == Interface::NoDollar) {
        for (QString &word : words)
            word = withoutDollar(word);
    }
    words = QStringList{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                        interface.words == Interface::NoDollar ? decode + keepOpen : keepOpen,
                        QStringLiteral("tarnell-build")}
            + words;
    if (interface.words == Interface::Quoted) {
        for (QString &word : words)
            word = singleQuoted(word);
        words = QStringList{words.join(QLatin1Char(' '))};
    }
    console.arguments << interface.commandOption << words;
    for (const QString &word : std::as_const(words)) {
        if (QFile::encodeName(word).size() >= CommandLine::maxArgumentBytes)
            console.error = QStringLiteral("the command line is too long for the terminal %1, which takes "
                                           "it in fewer words of up to %2 bytes")
                                .arg(name)
                                .arg(CommandLine::maxArgumentBytes - 1);
    }
    return console;
}

} // namespace ConsoleTerminal
