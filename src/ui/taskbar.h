#pragma once

#include <QMargins>

class QWidget;

// What the program asks of an X11 window manager beyond what Qt asks itself.
// Both do nothing off X11.

// Asks the window manager to leave `window` out of the task bar (the
// _NET_WM_STATE_SKIP_TASKBAR hint, which Qt does not set itself). Call it
// before the window is first shown, with its flags set.
void keepOffTaskbar(QWidget *window);

// The frame the window manager will put around `window`, asked for before the
// window is shown (_NET_REQUEST_FRAME_EXTENTS). Creates the native window.
// None when there is no window manager or it does not answer in time.
QMargins frameExtents(QWidget *window);
