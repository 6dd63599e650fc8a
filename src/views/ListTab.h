#pragma once

#include "ButtonPictures.h"
#include "grid/GridColumn.h"

#include <QString>
#include <vector>

class DataGrid;
class QPushButton;
class QWidget;

// What tells the income tab from the payout tab: names, titles, hint, picture.
struct ListTabDesign
{
    const char *gridName;       // "DBGridSR"
    const char *panelName;      // the button column, "Panel2"
    const char *buttonNames[4]; // add, delete, save, refresh
    QString prefix;             // "I_"
    QString classTitle;         // "收入类型"
    QString amountTitle;        // "收入金额"
    QString addHint;
    ButtonPicture addPicture;

    static const ListTabDesign &income();
    static const ListTabDesign &payout();
};

// The controls of one list tab.
struct ListTab
{
    DataGrid *grid;
    QPushButton *add;
    QPushButton *remove;
    QPushButton *save;
    QPushButton *refresh;
};

// Lays out a list tab: the grid, and at its right the column of four picture buttons.
ListTab buildListTab(QWidget *tab, const ListTabDesign &design);

// The four columns of a records grid (date, category, amount, note); the
// detail windows show the same.
std::vector<GridColumn> recordColumns(const ListTabDesign &design);
