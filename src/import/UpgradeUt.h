#pragma once

#include <QWidget>

// The import window: brings an earlier data file's categories and records in.
class TUpdateFm : public QWidget
{
    Q_OBJECT
public:
    explicit TUpdateFm(QWidget *parent = nullptr);
};
