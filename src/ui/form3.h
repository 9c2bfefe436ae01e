#pragma once

#include <QWidget>

// The Help window.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);
};
