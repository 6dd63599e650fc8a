#include "HelpUt.h"

THelpFm::THelpFm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpFm"));
    setWindowTitle(QStringLiteral("帮助"));
    resize(668, 469);
}
