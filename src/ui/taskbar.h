#pragma once

class QWidget;

// Asks the window manager to leave `window` out of the task bar (the
// _NET_WM_STATE_SKIP_TASKBAR hint, which Qt does not set itself). Does nothing
// off X11. Call it before the window is first shown, with its flags set.
void keepOffTaskbar(QWidget *window);
