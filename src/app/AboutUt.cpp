#include "AboutUt.h"

namespace {

QStringList aboutLines()
{
    return {QStringLiteral("没有比[Lumibran管理专家]更简单好用的理财软件了！"),
            QString(),
            QStringLiteral("[Lumibran管理专家]是一款针对家庭或个人的理财管理的软件。操作简单、界面"),
            QStringLiteral("简朴，具备理财的基本功能；"),
            QStringLiteral("    "),
            QStringLiteral("[Lumibran管理专家]小巧，绿色无需安装，可以放在U盘中随身携带；"),
            QString(),
            QStringLiteral("[Lumibran管理专家]可以帮助您轻松记录日常收支状况，并可自由设置收入、支"),
            QStringLiteral("出的类型；"),
            QString(),
            QString(),
            QStringLiteral("[Lumibran管理专家]提供基本的统计功能，帮您方便地随时统计和分析指定时段"),
            QStringLiteral("的经济状况。"),
            QString()};
}

} // namespace

TAboutFm::TAboutFm(QWidget *parent)
    : PlainTextWindow({QStringLiteral("关于"), QSize(572, 398), aboutLines(), 52, "BitBtn1", QPoint(464, 8), false},
                      parent)
{
    setObjectName(QStringLiteral("AboutFm"));
    BitBtn1 = okButton();
}
