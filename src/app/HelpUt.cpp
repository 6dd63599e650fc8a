#include "HelpUt.h"

#include "platform/ErrorReport.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QShowEvent>

namespace {

QStringList helpLines()
{
    return {QString(),
            QStringLiteral("[Lumibran管理专家]使用条件："),
            QStringLiteral("1、WINDOWS操作系统；"),
            QStringLiteral("2、MICROSOFT OFFICE软件;"),
            QStringLiteral("3、智商不低于60。"),
            QString(),
            QStringLiteral("[Lumibran管理专家]使用说明："),
            QStringLiteral("1、需要先设置收入和支出类型，可以通过菜单[操作]-[设置]进入设置界面；"),
            QStringLiteral("2、设置好之后即可录入收入和支出了，在收入和支出界面中也给出了统计的信息；"),
            QStringLiteral("3、通过[帮助]菜单可以获得软件的版本和帮助信息；"),
            QStringLiteral("4、边使用边享受[Lumibran管理专家]带给您的乐趣吧！"),
            QStringLiteral("5、[帮助]-[升级]功能是将以前的数据导入到最新版本的数据库中，若之前没有数据请不要"),
            QStringLiteral("使用该功能。"),
            QString(),
            QStringLiteral("注：收入类别和支出类别的显示序号越大，显示越靠前。"),
            QString(),
            QString()};
}

} // namespace

THelpFm::THelpFm(QStatusBar *mainStatusBar, QWidget *parent)
    : PlainTextWindow({QStringLiteral("帮助"), QSize(668, 469), helpLines(), 60, "BitBtn2", QPoint(553, 16), true},
                      parent),
      m_mainStatusBar(mainStatusBar)
{
    setObjectName(QStringLiteral("HelpFm"));
    BitBtn2 = okButton();
}

void THelpFm::showEvent(QShowEvent *event)
{
    PlainTextWindow::showEvent(event);
    if (!event->spontaneous()) // not when the window comes back from the task bar
        FormShow();
}

// A failed layout step leaves the window shown all the same.
void THelpFm::FormShow()
{
    runGuarded(m_mainStatusBar, [this] { fitMemo(); });
}

// The layout keeps the text box so on every later resize.
void THelpFm::fitMemo()
{
    Memo1->setGeometry(0, 0, width(), height() - Panel1->height());
}
