#pragma once

#include <QIcon>

// The program icon, a spiral-bound notepad with a red cover, in 32 and 16 px:
// the icon of every window and the picture of the About window.
QIcon programIcon();
