#pragma once

#include <QWidget>

// The detail windows: the records behind one statistics row.
class TPayoutSearchFm : public QWidget
{
    Q_OBJECT
public:
    explicit TPayoutSearchFm(QWidget *parent = nullptr);
};

class TIncomeSearchFm : public QWidget
{
    Q_OBJECT
public:
    explicit TIncomeSearchFm(QWidget *parent = nullptr);
};
