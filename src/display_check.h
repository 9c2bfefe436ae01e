#pragma once

#include <QString>

// Why the program could open no window here, such as "the X display :5
// (DISPLAY) cannot be reached"; empty when an X display or a Wayland session
// answers, or when QT_QPA_PLATFORM leaves the choice to Qt. Asked before the
// QApplication exists, which would end the program with a core dump instead.
QString missingDisplay();
