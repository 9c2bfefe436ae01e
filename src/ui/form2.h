#pragma once

#include "ui/info_window.h"

class QGroupBox;
class QLabel;

// The About window: the program's name in red, with the program icon.
class Form2 : public InfoWindow
{
    Q_OBJECT

public:
    Form2();

private:
    QGroupBox *Frame1 = nullptr;
    InfoText *Text1 = nullptr;
    QLabel *Picture1 = nullptr;
};
