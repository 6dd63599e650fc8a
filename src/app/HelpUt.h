#pragma once

#include <QWidget>

// The help window: what the program needs and how to use it.
class THelpFm : public QWidget
{
    Q_OBJECT
public:
    explicit THelpFm(QWidget *parent = nullptr);
};
