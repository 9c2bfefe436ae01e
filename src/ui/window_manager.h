#pragma once

class QWidget;

// What the program asks of an X11 window manager beyond what Qt asks itself;
// off X11 there is nothing to ask.

// Asks the window manager to leave `window` out of the task bar (the
// _NET_WM_STATE_SKIP_TASKBAR hint, which Qt does not set itself). Call it
// before the window is first shown, with its flags set.
void keepOffTaskbar(QWidget *window);

// Places a top-level window in the middle of the screen, frame and title bar
// included where the window manager tells their size. Call it before the
// window is first shown, with its hints and size set.
void centreOnScreen(QWidget *window);
