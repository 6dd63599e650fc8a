#pragma once

#include <QListWidget>

// The dropped-down pick list of a grid cell: the names below the cell, as
// wide as the cell and at most 20 rows high. It only shows the names: Enter,
// a click on a name, Esc, F4, Alt+Up or a click elsewhere close it, and
// nothing is written.
class PickListPopup : public QListWidget
{
public:
    explicit PickListPopup(QWidget *owner);

    // Drops down below a cell given in global coordinates (above it when
    // the screen has no room below); the name equal to current is current.
    void dropDown(const QStringList &names, const QString &current, const QRect &cell);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
