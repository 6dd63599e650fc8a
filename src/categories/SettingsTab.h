#pragma once

#include "grid/GridColumn.h"

#include <vector>

class DataGrid;
class QGroupBox;
class QPushButton;
class QWidget;

// One category list of the settings tab: its group, grid and four buttons.
struct CategoryGroup
{
    QGroupBox *group;
    DataGrid *grid;
    QPushButton *add;     // "增加"
    QPushButton *remove;  // "删除"
    QPushButton *save;    // "保存"
    QPushButton *refresh; // "刷新"
};

struct SettingsTab
{
    CategoryGroup income; // GroupBox8, DBGridSRLB, BitBtn10..13
    CategoryGroup payout; // GroupBox9, DBGridZCLB, BitBtn15, 14, 16, 17
    QPushButton *reload;  // BitBtn9, never visible
};

// Lays out the tab: the income categories at the left, the payout categories at the right.
SettingsTab buildSettingsTab(QWidget *tab);

// The two columns of a category grid; prefix "IC_" or "PC_".
std::vector<GridColumn> categoryColumns(const QString &prefix, const QString &nameTitle);
