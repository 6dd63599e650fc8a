#pragma once

#include "AddRecordFm.h"

// The add-income dialog "增加收入".
class TIncomeAddFm : public AddRecordFm
{
    Q_OBJECT
public:
    explicit TIncomeAddFm(QWidget *parent = nullptr);
};
