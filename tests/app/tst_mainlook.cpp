#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "platform/DatePicker.h"
#include "platform/ErrorReport.h"
#include "platform/MonthCalendar.h"
#include "platform/SelectorBox.h"
#include "stats/DBChart.h"
#include "support/AppFixture.h"
#include "support/UserInput.h"
#include "views/IncomeUt.h"
#include "views/PayoutAddUt.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTabBar>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>

namespace {

const QColor blue(0, 0, 255);

QLabel *statusPanel(TMainFm *main)
{
    return main->StatusBar1->findChild<QLabel *>(QStringLiteral("Panel0"));
}

// What a tooltip reads, its markup aside.
QString shownToolTip()
{
    return QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText();
}

void addToday(TestLedger &ledger, const QString &table, const QString &amount)
{
    const QString date = QDate::currentDate().toString(Qt::ISODate);
    if (table == QLatin1String("Income"))
        ledger.exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES('%1','工资',%2,'')").arg(date, amount));
    else
        ledger.exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('%1','餐饮',%2,'')").arg(date, amount));
}

// The rectangle where a compact drop-down draws its arrow.
QRect arrowRect(QWidget *box)
{
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    return box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, box);
}

// A text in a line edit that ends before the box's arrow.
void verifyTextClearOfArrow(QWidget *box, const QString &text)
{
    auto *edit = box->findChild<QLineEdit *>();
    QVERIFY(edit);
    QCOMPARE(edit->text(), text);
    const int needed = edit->fontMetrics().horizontalAdvance(text) + 4; // the edit's own margins
    QVERIFY2(edit->width() >= needed, qPrintable(QStringLiteral("%1: %2 < %3").arg(text).arg(edit->width()).arg(needed)));
    QVERIFY(edit->geometry().right() < arrowRect(box).left());
}

} // namespace

class TestMainLook : public QObject
{
    Q_OBJECT
private slots:
    void topStripUsesTheWindowFont()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        const QFont windowFont = m->font();
        QCOMPARE(windowFont.pixelSize(), 16);
        const QList<QWidget *> strip = QList<QWidget *>{m->GroupBox2, m->GroupBox1} + m->GroupBox2->findChildren<QWidget *>()
            + m->GroupBox1->findChildren<QWidget *>();
        for (QWidget *w : strip) {
            if (!qobject_cast<QLabel *>(w) && !qobject_cast<QAbstractButton *>(w) && !qobject_cast<QGroupBox *>(w)
                && !qobject_cast<SelectorBox *>(w) && !qobject_cast<DatePicker *>(w))
                continue;
            const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
            QVERIFY2(w->styleSheet().isEmpty(), qPrintable(name));
            QCOMPARE(QFontInfo(w->font()).family(), QFontInfo(windowFont).family());
            QVERIFY2(w->font().pixelSize() == 16, qPrintable(name));
            QVERIFY2(w->palette().color(QPalette::Active, QPalette::WindowText) == blue, qPrintable(name));
            QVERIFY2(w->palette().color(QPalette::Active, QPalette::ButtonText) == blue, qPrintable(name));
            QVERIFY2(w->palette().color(QPalette::Active, QPalette::Text) == blue, qPrintable(name));
        }
        // The group captions read like the settings tab's.
        for (QGroupBox *group : {m->GroupBox2, m->GroupBox1}) {
            QCOMPARE(group->font(), m->GroupBox8->font());
            QCOMPARE(group->palette().color(QPalette::WindowText), m->GroupBox8->palette().color(QPalette::WindowText));
            QVERIFY(group->geometry().bottom() < m->Panel3->height());
        }
    }

    void stripTextsAreClearOfOneAnother()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        // "指定范围    " keeps its whole text above the start picker.
        QVERIFY(!m->RadioButton4->geometry().intersects(m->DateTimePicker1->geometry()));
        QVERIFY(m->RadioButton4->width() >= m->RadioButton4->sizeHint().width());
        const QRect glyphs = m->RadioButton4->fontMetrics().tightBoundingRect(QStringLiteral("指定范围"));
        QVERIFY(m->RadioButton4->height() >= glyphs.height());
        // The caption's glyphs end above the first range button's.
        for (QRadioButton *mode : {m->RadioButton1, m->RadioButton2, m->RadioButton3, m->RadioButton4}) {
            QVERIFY(mode->geometry().bottom() < m->GroupBox1->height());
            QVERIFY(mode->width() >= mode->sizeHint().width());
        }
        // No control of a group lies on another, and each shows its text's
        // full height inside the group's frame.
        for (QGroupBox *group : {m->GroupBox2, m->GroupBox1}) {
            const QList<QWidget *> controls = group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            QVERIFY(controls.size() >= 8);
            for (QWidget *a : controls) {
                QVERIFY(a->geometry().bottom() < group->height() - 1);
                if (auto *label = qobject_cast<QLabel *>(a))
                    QVERIFY(label->height() >= label->fontMetrics().tightBoundingRect(label->text().trimmed()).height());
                for (QWidget *b : controls)
                    QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + QLatin1Char('/') + b->objectName()));
            }
        }
        // The widest texts of the boxes and pickers end before their arrows.
        verifyTextClearOfArrow(m->ComboBox1, m->ComboBox1->text());
        m->DateTimePicker1->setDateQuietly(QDate(2026, 12, 31));
        verifyTextClearOfArrow(m->DateTimePicker1, QStringLiteral("2026-12-31"));
        // The buttons show their captions whole.
        for (QPushButton *button : {m->Button1, m->Button2, m->Button3})
            QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(button->text()) + 4);
    }

    void calendarShowsSixWeeksWithChineseDayNames()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        MonthCalendar *calendar = m->Calendar1;
        QVERIFY(calendar->geometry().top() >= 0);
        QVERIFY(calendar->geometry().bottom() < m->Panel3->height());
        auto *view = calendar->findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview"));
        QAbstractItemModel *days = view->model();
        QCOMPARE(days->rowCount(), 7); // the day names and six weeks
        const int digits = QFontMetrics(calendar->font()).tightBoundingRect(QStringLiteral("30")).height();
        for (int row = 0; row < days->rowCount(); ++row) {
            QVERIFY(view->rowViewportPosition(row) >= 0);
            QVERIFY2(view->rowViewportPosition(row) + view->rowHeight(row) <= view->viewport()->height(),
                     qPrintable(QString::number(row)));
            QVERIFY(view->rowHeight(row) >= digits);
        }
        QStringList names;
        for (int column = 0; column < days->columnCount(); ++column)
            if (!view->isColumnHidden(column))
                names << days->index(0, column).data().toString();
        QCOMPARE(names, (QStringList{"日", "一", "二", "三", "四", "五", "六"}));

        // December 2026 begins on a Tuesday: 29 and 30 November lead the first week, greyed.
        calendar->setCurrentPage(2026, 12);
        int firstColumn = 0;
        while (view->isColumnHidden(firstColumn))
            ++firstColumn;
        QCOMPARE(days->index(1, firstColumn).data().toString(), QStringLiteral("29"));
        const QColor november = days->index(1, firstColumn + 1).data(Qt::ForegroundRole).value<QColor>();
        const QColor december = days->index(1, firstColumn + 3).data(Qt::ForegroundRole).value<QColor>();
        QCOMPARE(days->index(1, firstColumn + 3).data().toString(), QStringLiteral("2"));
        QCOMPARE(november, calendar->palette().color(QPalette::Disabled, QPalette::Text));
        QVERIFY(november != december);
        QCOMPARE(december, blue);
    }

    void calendarHeadingFollowsTheMonth()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        const QDate today = QDate::currentDate();
        QCOMPARE(m->Calendar1->heading(), QStringLiteral("%1年\n%2月").arg(today.year()).arg(today.month()));
        auto *heading = m->Calendar1->findChild<QLabel *>(QStringLiteral("heading"));
        QVERIFY(heading && heading->isVisible());
        QCOMPARE(heading->text(), m->Calendar1->heading());
        QVERIFY(heading->width() >= heading->fontMetrics().horizontalAdvance(QStringLiteral("%1年").arg(today.year())));
        user::click(m->Button2); // "下月"
        const QDate next = today.addMonths(1);
        QCOMPARE(heading->text(), QStringLiteral("%1年\n%2月").arg(next.year()).arg(next.month()));
    }

    void statusPanelShowsTheWholeMessageAsItsToolTip()
    {
        AppFixture app(AppFixture::Ledger::Missing);
        app.show();
        TMainFm *m = app.main();
        QLabel *panel = statusPanel(m);
        const QString message = m->statusText();
        QVERIFY(!message.isEmpty());
        QCOMPARE(panel->width(), 300);
        QVERIFY(panel->fontMetrics().horizontalAdvance(message) > panel->width()); // cut in the panel
        QTest::mouseMove(panel, QPoint(20, panel->height() / 2));
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(shownToolTip(), message);
        QToolTip::hideText();
    }

    void statusToolTipShowsTheMessageAsItIs()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        const QString odd = QStringLiteral("near \"<b>\":  syntax error & more");
        reportError(m->StatusBar1, odd);
        QCOMPARE(m->statusText(), odd);
        QCOMPARE(statusPanel(m)->textFormat(), Qt::PlainText);
        QLabel *panel = statusPanel(m);
        QTest::mouseMove(panel, QPoint(10, panel->height() / 2));
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(shownToolTip(), odd);
        QToolTip::hideText();
    }

    void windowsHaveTheirOuterSizes()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        QCOMPARE(m->frameGeometry().size(), QSize(984, 745));
        QRect centred(QPoint(), QSize(984, 745));
        centred.moveCenter(m->screen()->availableGeometry().center());
        QCOMPARE(m->frameGeometry().top(), centred.top());
        // A window wider than the test screen is pushed back by its frame's width.
        QVERIFY(std::abs(m->frameGeometry().left() - centred.left()) <= m->geometry().left() - m->frameGeometry().left());

        user::click(m->BitBtn5); // add income
        TIncomeAddFm *income = app.windows().IncomeAddFm.get();
        QTRY_VERIFY(income->isVisible());
        QCOMPARE(income->frameGeometry().size(), QSize(541, 312));
        QVERIFY(income->size() != QSize(541, 312)); // the frame is counted
        income->close();

        user::click(m->PageControl1->tabBar(), m->PageControl1->tabBar()->tabRect(1).center()); // the payout tab
        user::click(m->BitBtn1); // add payout
        TPayoutAddFm *payout = app.windows().PayoutAddFm.get();
        QTRY_VERIFY(payout->isVisible());
        QCOMPARE(payout->frameGeometry().size(), QSize(529, 324));
        QRect onScreen(QPoint(), QSize(529, 324));
        onScreen.moveCenter(payout->screen()->availableGeometry().center());
        QCOMPARE(payout->frameGeometry(), onScreen);
    }

    void chartIsReadableAtTheDefaultSize_data()
    {
        QTest::addColumn<QString>("income");
        QTest::addColumn<QString>("payout");
        QTest::newRow("a month") << "1556.8" << "539.5";
        QTest::newRow("near values") << "1000" << "999";
        QTest::newRow("wide values") << "123456.78" << "123000.5";
        QTest::newRow("a loss") << "100" << "350";
        QTest::newRow("nothing") << QString() << QString();
        QTest::newRow("small") << "0.3" << "0.1";
    }
    void chartIsReadableAtTheDefaultSize()
    {
        QFETCH(QString, income);
        QFETCH(QString, payout);
        AppFixture app;
        if (!income.isEmpty()) {
            addToday(app.ledger(), QStringLiteral("Income"), income);
            addToday(app.ledger(), QStringLiteral("Payout"), payout);
        }
        app.show();
        TMainFm *m = app.main();
        user::press(Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        user::press(Qt::Key_T); // "统计 [&T]"
        QCOMPARE(m->PageControl1->currentWidget(), m->TabSheetTJ);
        DBChart *chart = m->DBChartJSR;
        const DBChart::Layout l = chart->chartLayout();
        const QRectF whole(chart->rect());

        // The legend lists the full titles, each with room for its text.
        QCOMPARE(l.legendTexts, (std::vector<QString>{"总收入", "总支出", "净收入"}));
        QFont smallFont = chart->font();
        smallFont.setPixelSize(12);
        const QFontMetricsF small(smallFont);
        for (size_t i = 0; i < l.legend.size(); ++i) {
            QVERIFY(whole.contains(l.legend[i]));
            QVERIFY(l.legend[i].width() >= small.horizontalAdvance(l.legendTexts[i]));
            for (size_t j = i + 1; j < l.legend.size(); ++j)
                QVERIFY(!l.legend[i].intersects(l.legend[j]));
        }

        // Each value stands clear of the other values and of every bar.
        QCOMPARE(l.values.size(), size_t(3));
        for (size_t i = 0; i < l.values.size(); ++i) {
            QVERIFY2(whole.contains(l.values[i]), qPrintable(l.valueTexts[i]));
            QVERIFY(l.values[i].width() >= small.horizontalAdvance(l.valueTexts[i]));
            for (size_t j = 0; j < l.values.size(); ++j)
                if (j != i)
                    QVERIFY2(!l.values[i].intersects(l.values[j]), qPrintable(l.valueTexts[i] + " / " + l.valueTexts[j]));
            for (const QRectF &bar : l.bars)
                QVERIFY2(!l.values[i].intersects(bar), qPrintable(l.valueTexts[i]));
        }
        QCOMPARE(l.valueTexts[0], income.isEmpty() ? QStringLiteral("0") : QString::number(income.toDouble(), 'g', 15));

        // Axis texts carry no useless ".0"; the axis holds zero.
        QVERIFY(!l.tickTexts.empty());
        for (const QString &tick : l.tickTexts)
            QVERIFY2(!tick.endsWith(QLatin1String(".0")) && !tick.endsWith(QLatin1String(".00")), qPrintable(tick));
        QVERIFY(std::find(l.tickTexts.begin(), l.tickTexts.end(), QStringLiteral("0")) != l.tickTexts.end());

        // The bars stand in series order, moved by -30 %, 5 % and 40 % of a
        // bar's width: 35 % of a width lies between neighbours.
        QCOMPARE(l.bars.size(), size_t(3));
        const double width = l.bars[0].width();
        QVERIFY(width > 4);
        QCOMPARE(l.bars[1].left() - l.bars[0].right(), 0.35 * width);
        QCOMPARE(l.bars[2].left() - l.bars[1].right(), 0.35 * width);
        QVERIFY(whole.contains(l.plot));
    }
};

QTEST_MAIN(TestMainLook)
#include "tst_mainlook.moc"
