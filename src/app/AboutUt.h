#pragma once

#include <QWidget>

// The about window: a few lines on the product.
class TAboutFm : public QWidget
{
    Q_OBJECT
public:
    explicit TAboutFm(QWidget *parent = nullptr);
};
