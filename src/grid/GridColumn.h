#pragma once

#include <QString>
#include <QStringList>

// One bound column of a grid: the row set's field it shows, its title (which
// the title-click sort marks with its direction), its width, whether its
// cells take no typing, and the names its drop-down shows.
struct GridColumn
{
    QString field;
    QString title;
    int width = 64;
    bool readOnly = false;
    QStringList pickList;
};
