#pragma once

#include "ui/info_window.h"

class QGroupBox;

// The Help window: what the program needs and how to use it.
class Form3 : public InfoWindow
{
    Q_OBJECT

public:
    Form3();

private:
    QGroupBox *Frame1 = nullptr;
    InfoText *Text1 = nullptr;
};
