#include "display_check.h"

#include <QByteArray>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

bool xDisplayAnswers(const QByteArray &name)
{
    xcb_connection_t *connection = xcb_connect(name.constData(), nullptr);
    const bool answers = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    return answers;
}

// The socket where a Wayland client looks: the name itself when it is a
// path, else the name in XDG_RUNTIME_DIR.
bool waylandDisplayAnswers(const QByteArray &name)
{
    const QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray path = name.startsWith('/') ? name : folder + '/' + name;
    sockaddr_un address{};
    if ((folder.isEmpty() && !name.startsWith('/')) || path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), path.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answers = socket >= 0 && ::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (socket >= 0)
        ::close(socket);
    return answers;
}

} // namespace

QString missingDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return {};
    const QByteArray x = qgetenv("DISPLAY"), wayland = qgetenv("WAYLAND_DISPLAY");
    if ((!x.isEmpty() && xDisplayAnswers(x)) || (!wayland.isEmpty() && waylandDisplayAnswers(wayland)))
        return {};
    if (x.isEmpty() && wayland.isEmpty())
        return QStringLiteral("no X display (DISPLAY) or Wayland session (WAYLAND_DISPLAY) is set");
    const QString xDisplay = QStringLiteral("the X display %1 (DISPLAY)").arg(QString::fromLocal8Bit(x));
    const QString waylandDisplay =
        QStringLiteral("the Wayland display %1 (WAYLAND_DISPLAY)").arg(QString::fromLocal8Bit(wayland));
    if (wayland.isEmpty())
        return xDisplay + QStringLiteral(" cannot be reached");
    if (x.isEmpty())
        return waylandDisplay + QStringLiteral(" cannot be reached");
    return QStringLiteral("neither %1 nor %2 can be reached").arg(xDisplay, waylandDisplay);
}
