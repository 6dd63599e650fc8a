#include "RecordSearchFm.h"

namespace {
void prepare(QWidget *window, const char *name, const QString &caption, QSize size)
{
    window->setObjectName(QLatin1String(name));
    window->setWindowTitle(caption);
    window->resize(size);
}
} // namespace

TPayoutSearchFm::TPayoutSearchFm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    prepare(this, "PayoutSearchFm", QStringLiteral("支出明细"), QSize(664, 433));
}

TIncomeSearchFm::TIncomeSearchFm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    prepare(this, "IncomeSearchFm", QStringLiteral("收入明细"), QSize(663, 428));
}
