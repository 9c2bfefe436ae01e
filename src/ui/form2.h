#pragma once

#include <QWidget>

// The About window.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);
};
