#pragma once

#include "RecordSearchFm.h"

// The payout detail window "支出明细".
class TPayoutSearchFm : public RecordSearchFm
{
    Q_OBJECT
public:
    explicit TPayoutSearchFm(QWidget *parent = nullptr);

    DataGrid *DBGridZC;
    void DBGridZCTitleClick(int column);
};
