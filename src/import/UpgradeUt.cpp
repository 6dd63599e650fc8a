#include "UpgradeUt.h"

#include "LedgerImport.h"
#include "core/Error.h"
#include "platform/ErrorReport.h"
#include "platform/Fonts.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowFrame.h"
#include "store/DataModuleUt.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

const QColor navy(0, 0, 128);

template <class W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void showNotice(const QString &text)
{
    messageBoxes().show(MessageBoxes::Icon::None, QStringLiteral("注意"), text, MessageBoxes::Ok);
}

} // namespace

TUpdateFm::TUpdateFm(QStatusBar *mainStatusBar, QWidget *parent) : QWidget(parent, Qt::Window), m_statusBar(mainStatusBar)
{
    setObjectName(QStringLiteral("UpdateFm"));
    setWindowTitle(QStringLiteral("升级"));
    applyFont(this, windowFont(16), navy);

    GroupBox1 = named(new QGroupBox(QStringLiteral("   导入以前的数据到V2.5.7    "), this), "GroupBox1");
    GroupBox1->setGeometry(16, 16, 304, 185);
    CheckBox1 = named(new QCheckBox(QStringLiteral("  导入前先清空V2.5.7的数据"), GroupBox1), "CheckBox1");
    CheckBox1->setGeometry(16, 36, 272, 24);
    Label1 = named(new QLabel(QStringLiteral("执行前请先备份以前的数据文件，  "), GroupBox1), "Label1");
    Label1->setGeometry(16, 76, 272, 22);
    Label2 = named(new QLabel(QStringLiteral("以免数据丢失！  "), GroupBox1), "Label2");
    Label2->setGeometry(16, 102, 272, 22);
    BitBtn1 = named(new QPushButton(QStringLiteral("执行 "), GroupBox1), "BitBtn1");
    BitBtn1->setGeometry(176, 142, 107, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &TUpdateFm::BitBtn1Click);
    setOuterSize(this, QSize(344, 253));
}

// Cancelling the dialog or naming no existing file closes the window quietly.
// A failure leaves the ledger as it was and the window open.
void TUpdateFm::BitBtn1Click()
{
    try {
        if (OpenDialog1.execute(this) && QFileInfo::exists(OpenDialog1.fileName())) {
            const QString source = QDir::toNativeSeparators(QFileInfo(OpenDialog1.fileName()).absoluteFilePath());
            importLedger(TDataModule1::connectionStringFor(TDataModule1::ledgerFullPath()), source,
                         CheckBox1->isChecked());
            showNotice(QStringLiteral("数据已成功导入！"));
        }
        hide();
    } catch (const std::exception &e) {
        const auto *error = dynamic_cast<const Error *>(&e);
        reportError(m_statusBar, error ? error->message() : QString::fromUtf8(e.what()));
        showNotice(QStringLiteral("数据导入失败，请重试！若还是导入失败，请发邮件联系。"));
    }
}
