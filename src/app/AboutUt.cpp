#include "AboutUt.h"

TAboutFm::TAboutFm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("AboutFm"));
    setWindowTitle(QStringLiteral("关于"));
    resize(572, 398);
}
