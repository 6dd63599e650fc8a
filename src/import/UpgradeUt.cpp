#include "UpgradeUt.h"

TUpdateFm::TUpdateFm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("UpdateFm"));
    setWindowTitle(QStringLiteral("升级"));
    resize(344, 253);
}
