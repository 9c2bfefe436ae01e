#include "window_manager.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void *reply) const { std::free(reply); }
};
template<typename Reply>
using Owned = std::unique_ptr<Reply, FreeDeleter>;

xcb_connection_t *qtConnection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 && QGuiApplication::platformName() == QLatin1String("xcb") ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The 32-bit values of a property, at most `count`.
QList<uint32_t> values(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property,
                       xcb_atom_t type, uint32_t count)
{
    const Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, count), nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto *data = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return QList<uint32_t>(data, data + xcb_get_property_value_length(reply.get()) / 4);
}

xcb_window_t rootOf(xcb_connection_t *connection, xcb_window_t window)
{
    const Owned<xcb_query_tree_reply_t> reply(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    return reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
}

// An EWMH request about `window`, sent to the window manager.
void askWindowManager(xcb_connection_t *connection, xcb_window_t root, xcb_window_t window,
                      xcb_atom_t type, std::initializer_list<uint32_t> data)
{
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

} // namespace

void keepOffTaskbar(QWidget *window)
{
    xcb_connection_t *connection = qtConnection();
    if (!connection)
        return;
    const xcb_window_t id = xcb_window_t(window->winId());
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (!(window->windowFlags() & Qt::WindowMinimizeButtonHint)) {
        // Set on the window before it is mapped; Qt adds its own states to the list.
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
        xcb_flush(connection);
        return;
    }
    // xfwm4 takes Minimize away from a window that is off the task bar when it
    // maps it, so this one asks once mapped, which leaves Minimize in place.
    // Sent on Qt's connection, the request reaches the window manager after
    // the map, as it must.
    QObject::connect(window->windowHandle(), &QWindow::visibleChanged, window,
                     [connection, id, state, skipTaskbar](bool visible) {
        if (!visible)
            return;
        // _NET_WM_STATE_ADD, from an application
        askWindowManager(connection, rootOf(connection, id), id, state, {1, skipTaskbar, 0, 1});
    }, Qt::QueuedConnection);
}

// The frame the window manager will put around `window`, asked for before the
// window is shown (_NET_REQUEST_FRAME_EXTENTS). Creates the native window.
// None when there is no window manager or it does not answer in time.
static QMargins frameExtents(QWidget *window)
{
    if (!qtConnection())
        return {};
    const xcb_window_t id = xcb_window_t(window->winId());

    // Qt's connection delivers its events to Qt's event loop only, so the
    // answer is awaited on a connection of our own.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> closer(connection, xcb_disconnect);
    if (xcb_connection_has_error(connection))
        return {};
    const xcb_window_t root = rootOf(connection, id);

    // Without a window manager that knows the request nobody would answer.
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (!values(connection, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 1024).contains(request))
        return {};

    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    const uint32_t propertyChanges = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &propertyChanges);
    askWindowManager(connection, root, id, request, {});

    // A window manager answers at once; a slow one costs the centring, not the start.
    QDeadlineTimer deadline(500);
    pollfd readable = {xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (const Owned<xcb_generic_event_t> event{xcb_poll_for_event(connection)}) {
            const auto *changed = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && changed->atom == extents) {
                // left, right, top, bottom
                const QList<uint32_t> sides = values(connection, id, extents, XCB_ATOM_CARDINAL, 4);
                if (sides.size() == 4)
                    return QMargins(int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3]));
            }
        }
        if (deadline.hasExpired() || xcb_connection_has_error(connection)
            || poll(&readable, 1, int(deadline.remainingTime())) <= 0)
            return {};
    }
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QMargins frame = frameExtents(window);
    QRect outer(QPoint(), window->size().grownBy(frame));
    outer.moveCenter(screen->availableGeometry().center());
    // On X11 the native window exists by now and Qt does not know its frame
    // yet, so move() places the inside of the window; elsewhere there is no
    // frame to tell the two apart.
    window->move(outer.topLeft() + QPoint(frame.left(), frame.top()));
}
