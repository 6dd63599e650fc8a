#include "IncomeUt.h"
#include "PayoutAddUt.h"

namespace {

const AddRecordKind payoutKind{
    "PayoutAddFm",
    QStringLiteral("增加支出"),
    QStringLiteral("支出类型     "),
    QStringLiteral("支出金额     "),
    QStringLiteral("Select * From PayoutClass Order By PC_No DESC"),
    QStringLiteral("PC_Name"),
    QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values("),
    true,
    false,
    QPoint(),
    QSize(529, 324),
};

const AddRecordKind incomeKind{
    "IncomeAddFm",
    QStringLiteral("增加收入"),
    QStringLiteral("收入类型     "),
    QStringLiteral("收入金额     "),
    QStringLiteral("Select * From IncomeClass Order By IC_No DESC"),
    QStringLiteral("IC_Name"),
    QStringLiteral("Insert Into Income(I_Date,I_Class,I_Num,I_Desc) Values("),
    false,
    true,
    QPoint(358, 158),
    QSize(541, 312),
};

} // namespace

TPayoutAddFm::TPayoutAddFm(QWidget *parent) : AddRecordFm(payoutKind, parent)
{
}

TIncomeAddFm::TIncomeAddFm(QWidget *parent) : AddRecordFm(incomeKind, parent)
{
}
