#include "IncomeSearchUt.h"
#include "PayoutSearchUt.h"
#include "grid/DataGrid.h"
#include "views/ListTab.h"

namespace {

// The two texts differ in their blanks (after AND, before Asc); the engine
// reads both alike and they are kept as they have always been sent.
const RecordSearchKind incomeKind{
    "IncomeSearchFm",
    QStringLiteral("收入明细"),
    QSize(663, 428),
    ListTabDesign::income(),
    QStringLiteral("IS_I_Class"),
    QStringLiteral("Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where I_Class = "),
    QStringLiteral(" AND I_Date = #"),
    QStringLiteral(" AND  [I_Date] "),
    QStringLiteral(" Order By I_No Asc"),
    MonthReading::Date,
};

const RecordSearchKind payoutKind{
    "PayoutSearchFm",
    QStringLiteral("支出明细"),
    QSize(664, 433),
    ListTabDesign::payout(),
    QStringLiteral("PS_P_Class"),
    QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where P_Class = "),
    QStringLiteral(" AND P_Date = #"),
    QStringLiteral(" AND [P_Date] "),
    QStringLiteral(" Order By P_No  Asc"),
    MonthReading::DateAndTime,
};

} // namespace

TIncomeSearchFm::TIncomeSearchFm(QWidget *parent) : RecordSearchFm(incomeKind, parent), DBGridSR(grid())
{
    connect(DBGridSR, &DataGrid::titleClicked, this, &TIncomeSearchFm::DBGridSRTitleClick);
}

void TIncomeSearchFm::DBGridSRTitleClick(int column) { titleClicked(column); }

TPayoutSearchFm::TPayoutSearchFm(QWidget *parent) : RecordSearchFm(payoutKind, parent), DBGridZC(grid())
{
    connect(DBGridZC, &DataGrid::titleClicked, this, &TPayoutSearchFm::DBGridZCTitleClick);
}

void TPayoutSearchFm::DBGridZCTitleClick(int column) { titleClicked(column); }
