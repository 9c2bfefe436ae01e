#pragma once

#include <QMargins>

class QWidget;

// What the program asks of an X11 window manager beyond what Qt asks itself;
// off X11 there is nothing to ask.

// Asks the window manager to leave `window` out of the task bar (the
// _NET_WM_STATE_SKIP_TASKBAR hint, which Qt does not set itself). Call it
// before the window is first shown, with its flags set.
void keepOffTaskbar(QWidget *window);

// The frame the window manager will put around `window`, asked for before the
// window is shown (_NET_REQUEST_FRAME_EXTENTS). Creates the native window.
// None when there is no window manager or it does not answer in time.
QMargins frameExtents(QWidget *window);

// Places a top-level window in the middle of the screen, frame and title bar
// included where the window manager tells their size. Call it before the
// window is first shown, with its hints and size set.
void centreOnScreen(QWidget *window);
