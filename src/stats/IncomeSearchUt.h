#pragma once

#include "RecordSearchFm.h"

// The income detail window "收入明细".
class TIncomeSearchFm : public RecordSearchFm
{
    Q_OBJECT
public:
    explicit TIncomeSearchFm(QWidget *parent = nullptr);

    DataGrid *DBGridSR;
    void DBGridSRTitleClick(int column);
};
