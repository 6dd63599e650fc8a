#pragma once

#include <QIcon>

// The 64 × 64 pictures of the list tabs' buttons, drawn by the program.
enum class ButtonPicture { AddIncome, AddPayout, Delete, Save, Refresh };
QIcon buttonPicture(ButtonPicture picture);
