#include "taskbar.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

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
