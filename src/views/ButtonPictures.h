#pragma once

#include <QIcon>

class QPainter;

// The 64 × 64 pictures of the list tabs' buttons, drawn by the program.
enum class ButtonPicture { AddIncome, AddPayout, Delete, Save, Refresh };
QIcon buttonPicture(ButtonPicture picture);
// Draws a picture on a painter whose coordinates span 64 × 64 (scale it for other sizes).
void drawButtonPicture(QPainter &p, ButtonPicture picture);
