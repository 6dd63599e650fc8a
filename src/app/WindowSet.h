#pragma once

#include <QObject>
#include <memory>
#include <vector>

class TMainFm;
class TPayoutAddFm;
class TIncomeAddFm;
class TAboutFm;
class THelpFm;
class TDataModule1;
class TUpdateFm;
class TPayoutSearchFm;
class TIncomeSearchFm;

// The nine objects of the program, created once in this order and living
// until the program ends. Every window but the main one only hides on close.
class WindowSet
{
public:
    WindowSet();
    ~WindowSet();

    // The objects in the order they were created.
    std::vector<QObject *> creationOrder() const;

    std::unique_ptr<TMainFm> MainFm;
    std::unique_ptr<TPayoutAddFm> PayoutAddFm;
    std::unique_ptr<TIncomeAddFm> IncomeAddFm;
    std::unique_ptr<TAboutFm> AboutFm;
    std::unique_ptr<THelpFm> HelpFm;
    std::unique_ptr<TDataModule1> DataModule1;
    std::unique_ptr<TUpdateFm> UpdateFm;
    std::unique_ptr<TPayoutSearchFm> PayoutSearchFm;
    std::unique_ptr<TIncomeSearchFm> IncomeSearchFm;
};

// What the application sets before any window is created: its title, the
// toolkit's Chinese texts, and the keys that every window shares.
void setUpApplication();
