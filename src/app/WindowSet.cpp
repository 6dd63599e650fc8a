#include "WindowSet.h"

#include "AboutUt.h"
#include "HelpUt.h"
#include "MainUt.h"
#include "import/UpgradeUt.h"
#include "platform/ButtonKeys.h"
#include "platform/ErrorReport.h"
#include "platform/ToolkitLanguage.h"
#include "stats/IncomeSearchUt.h"
#include "stats/PayoutSearchUt.h"
#include "store/DataModuleUt.h"
#include "views/IncomeUt.h"
#include "views/PayoutAddUt.h"

void setUpApplication()
{
    setApplicationTitle(QStringLiteral("Lumibran管理专家V2.5.9"));
    letEnterPressFocusedButtons();
    useChineseToolkitTexts();
}

WindowSet::WindowSet()
{
    MainFm = std::make_unique<TMainFm>();
    PayoutAddFm = std::make_unique<TPayoutAddFm>();
    IncomeAddFm = std::make_unique<TIncomeAddFm>();
    AboutFm = std::make_unique<TAboutFm>();
    HelpFm = std::make_unique<THelpFm>(MainFm->StatusBar1);
    DataModule1 = std::make_unique<TDataModule1>();
    UpdateFm = std::make_unique<TUpdateFm>(MainFm->StatusBar1);
    PayoutSearchFm = std::make_unique<TPayoutSearchFm>();
    IncomeSearchFm = std::make_unique<TIncomeSearchFm>();
    // Nothing touches the database before the main window is shown.
    MainFm->attach(DataModule1.get(), PayoutAddFm.get(), IncomeAddFm.get(), AboutFm.get(), HelpFm.get(), UpdateFm.get(),
                   PayoutSearchFm.get(), IncomeSearchFm.get());
}

// The windows go first, so that no grid outlives the queries it shows.
WindowSet::~WindowSet()
{
    IncomeSearchFm.reset();
    PayoutSearchFm.reset();
    UpdateFm.reset();
    HelpFm.reset();
    AboutFm.reset();
    IncomeAddFm.reset();
    PayoutAddFm.reset();
    MainFm.reset();
    DataModule1.reset();
}

std::vector<QObject *> WindowSet::creationOrder() const
{
    return {MainFm.get(), PayoutAddFm.get(), IncomeAddFm.get(), AboutFm.get(), HelpFm.get(),
            DataModule1.get(), UpdateFm.get(), PayoutSearchFm.get(), IncomeSearchFm.get()};
}
