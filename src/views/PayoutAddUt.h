#pragma once

#include "AddRecordFm.h"

// The add-payout dialog "增加支出".
class TPayoutAddFm : public AddRecordFm
{
    Q_OBJECT
public:
    explicit TPayoutAddFm(QWidget *parent = nullptr);
};
