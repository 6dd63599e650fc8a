#pragma once

#include "PlainTextWindow.h"

// The about window: a few lines on the product.
class TAboutFm : public PlainTextWindow
{
    Q_OBJECT
public:
    explicit TAboutFm(QWidget *parent = nullptr);

    QPushButton *BitBtn1;
};
