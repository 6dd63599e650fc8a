#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "platform/DatePicker.h"
#include "platform/ErrorReport.h"
#include "platform/MonthCalendar.h"
#include "platform/SelectorBox.h"
#include "stats/DBChart.h"
#include "stats/DrawnChart.h"
#include "import/UpgradeUt.h"
#include "support/AppFixture.h"
#include "support/ModalWindow.h"
#include "support/UserInput.h"
#include "views/IncomeUt.h"
#include "views/PayoutAddUt.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTabBar>
#include <QToolButton>
#include <QTreeView>
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

// Records of today with the amount, as many as asked.
void addToday(TestLedger &ledger, const QString &table, const QString &amount, int records = 1)
{
    const QString date = QDate::currentDate().toString(Qt::ISODate);
    const QString numbers = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ").arg(records);
    if (table == QLatin1String("Income"))
        ledger.exec(numbers + QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) SELECT '%1','工资',%2,'' FROM n").arg(date, amount));
    else
        ledger.exec(numbers + QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) SELECT '%1','餐饮',%2,'' FROM n").arg(date, amount));
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

// A calendar's heading of day names, as shown from left to right.
QStringList dayNames(QCalendarWidget *calendar)
{
    auto *view = calendar->findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview"));
    QStringList names;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        if (!view->isColumnHidden(column))
            names << view->model()->index(0, column).data().toString();
    return names;
}

// The largest difference of one colour channel between two images of one size.
int largestDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 255;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)), qAbs(qBlue(p) - qBlue(q))});
        }
    return largest;
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
        QCOMPARE(dayNames(calendar), (QStringList{"日", "一", "二", "三", "四", "五", "六"}));

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

    // The toolkit's own windows read Chinese as the program does.
    void toolkitWindowsReadChinese()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        const QRegularExpression chinese(QStringLiteral("\\p{Han}"));

        // The import's file dialog: its labels, buttons, file types, column
        // titles and tool buttons' tips.
        user::press(Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        user::press(Qt::Key_U); // "升级 [&U]"
        TUpdateFm *update = app.windows().UpdateFm.get();
        QTRY_VERIFY(update->isActiveWindow());
        QStringList texts;
        inNextModal<QFileDialog>([&](QFileDialog *dialog) {
            for (const QLabel *label : dialog->findChildren<QLabel *>())
                if (label->isVisible() && !label->text().isEmpty())
                    texts << label->text();
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            for (const QAbstractButton *button : buttons->buttons())
                texts << button->text();
            for (const QToolButton *tool : dialog->findChildren<QToolButton *>())
                if (tool->isVisible())
                    texts << tool->toolTip();
            texts << dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText();
            const QHeaderView *titles = dialog->findChild<QTreeView *>(QStringLiteral("treeView"))->header();
            for (int section = 0; section < titles->count(); ++section)
                texts << titles->model()->headerData(section, Qt::Horizontal).toString();
            user::click(buttons->button(QDialogButtonBox::Cancel));
        });
        user::click(update->BitBtn1);
        QVERIFY2(texts.size() >= 13, qPrintable(texts.join(QLatin1Char('|'))));
        for (const QString &text : texts)
            QVERIFY2(text.contains(chinese), qPrintable(text));

        // The date pickers' drop-down calendars: weeks from Sunday under the
        // strip calendar's day names, the months named in Chinese.
        for (DatePicker *picker : {m->DateTimePicker1, m->DateTimePicker2}) {
            user::click(picker, arrowRect(picker).center());
            QTRY_VERIFY(QApplication::activePopupWidget());
            QCalendarWidget *calendar = picker->calendarWidget();
            QVERIFY(calendar->isVisible());
            QCOMPARE(calendar->firstDayOfWeek(), Qt::Sunday);
            QCOMPARE(dayNames(calendar), dayNames(m->Calendar1));
            const auto *month = calendar->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton"));
            QStringList months{month->text()};
            for (const QAction *item : month->menu()->actions())
                months << item->text();
            QCOMPARE(months.size(), 13);
            for (const QString &name : months)
                QVERIFY2(name.contains(chinese), qPrintable(name));
            user::press(Qt::Key_Escape);
            QTRY_VERIFY(!QApplication::activePopupWidget());
        }
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
        QTest::addColumn<QString>("income"); // no record when empty
        QTest::addColumn<QString>("payout");
        QTest::addColumn<int>("records"); // of each amount
        QTest::addColumn<QStringList>("marks"); // income, payout, net income
        QTest::newRow("a month") << "10056.8" << "3825.5" << 1 << QStringList{"10,056.8", "3,825.5", "6,231.3"};
        QTest::newRow("near values") << "1000" << "999" << 1 << QStringList{"1,000", "999", "1"};
        QTest::newRow("wide values") << "123456.78" << "123000.5" << 1 << QStringList{"123,456.78", "123,000.5", "456.28"};
        QTest::newRow("a loss") << "100" << "350" << 1 << QStringList{"100", "350", "-250"};
        QTest::newRow("only a payout") << QString() << "123456.78" << 1 << QStringList{"0", "123,456.78", "-123,456.78"};
        QTest::newRow("nothing") << QString() << QString() << 1 << QStringList{"0", "0", "0"};
        QTest::newRow("small") << "0.3" << "0.1" << 1 << QStringList{"0.3", "0.1", "0.2"};
        // Sums of many records carry binary noise beyond the cents.
        QTest::newRow("many records") << "0.1" << "0.3" << 1000 << QStringList{"100", "300", "-200"};
    }
    void chartIsReadableAtTheDefaultSize()
    {
        QFETCH(QString, income);
        QFETCH(QString, payout);
        QFETCH(int, records);
        QFETCH(QStringList, marks);
        AppFixture app;
        if (!income.isEmpty())
            addToday(app.ledger(), QStringLiteral("Income"), income, records);
        if (!payout.isEmpty())
            addToday(app.ledger(), QStringLiteral("Payout"), payout, records);
        app.show();
        TMainFm *m = app.main();
        user::press(Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        user::press(Qt::Key_T); // "统计 [&T]"
        QCOMPARE(m->PageControl1->currentWidget(), m->TabSheetTJ);
        DBChart *chart = m->DBChartJSR;
        QVERIFY(chart->parentWidget()->rect().contains(chart->geometry()));
        const DrawnChart drawn(chart);
        QVERIFY(drawn.view.contains(drawn.plot));
        QCOMPARE(drawn.title.text, QStringLiteral("净收入统计"));
        QVERIFY(drawn.view.contains(drawn.title.rect));

        // The legend below the plot lists the full titles, each whole and apart.
        QCOMPARE(drawn.legendTexts(), (std::vector<QString>{"总收入", "总支出", "净收入"}));
        const QFontMetricsF legendFont(chart->chart()->legend()->font());
        for (size_t i = 0; i < drawn.legend.size(); ++i) {
            const QRectF &entry = drawn.legend[i].rect;
            QVERIFY(drawn.view.contains(entry));
            QVERIFY(entry.top() >= drawn.plot.bottom());
            QVERIFY(entry.width() >= legendFont.horizontalAdvance(drawn.legend[i].text));
            if (i > 0)
                QVERIFY(!entry.intersects(drawn.legend[i - 1].rect));
        }

        // Every bar, one of nought too, shows its value as money reads inside
        // the plot (where nothing cuts it off), clear of the other values and
        // of every bar.
        QCOMPARE(drawn.bars.size(), size_t(3));
        for (const DrawnChart::Bar &bar : drawn.bars) {
            const double value = chart->barValue(bar.series, 0);
            QCOMPARE(bar.valueText, marks[bar.series]);
            QVERIFY2(drawn.plot.contains(bar.value), qPrintable(bar.valueText));
            QVERIFY(bar.value.height() >= QFontMetricsF(bar.valueFont).horizontalAdvance(bar.valueText)); // upright and whole
            QVERIFY(qAbs(bar.value.center().x() - bar.area.center().x()) < 1);
            QVERIFY(bar.value.bottom() <= std::min(bar.outline.top(), drawn.zeroY));
            for (const DrawnChart::Bar &other : drawn.bars) {
                QVERIFY2(!bar.value.intersects(other.outline), qPrintable(bar.valueText + " / bar of " + other.valueText));
                if (&other != &bar)
                    QVERIFY2(!bar.value.intersects(other.value), qPrintable(bar.valueText + " / " + other.valueText));
            }
            // A bar reaches from the zero line to its value, below it when negative.
            const double valueY = chart->chart()->mapToPosition(QPointF(0, value), chart->barSeries(bar.series)).y();
            QVERIFY(qAbs((value > 0 ? bar.area.bottom() : bar.area.top()) - drawn.zeroY) < 0.5);
            QVERIFY(qAbs((value > 0 ? bar.area.top() : bar.area.bottom()) - valueY) < 0.5);
        }

        // The axis texts carry no useless ".0", stand at their values left of
        // the plot, and hold zero.
        QVERIFY(drawn.ticks.size() >= 3);
        bool zeroShown = false;
        for (const DrawnChart::Text &tick : drawn.ticks) {
            QVERIFY2(!tick.text.endsWith(QLatin1String(".0")) && !tick.text.endsWith(QLatin1String(".00"))
                         && !tick.text.contains(QLatin1Char('e')),
                     qPrintable(tick.text));
            bool isNumber = false;
            const double at = tick.text.toDouble(&isNumber);
            QVERIFY2(isNumber, qPrintable(tick.text));
            QVERIFY(qAbs(tick.rect.center().y() - chart->chart()->mapToPosition(QPointF(0, at), chart->barSeries(0)).y()) < 1);
            QVERIFY(tick.rect.right() <= drawn.plot.left() + 1);
            QVERIFY(drawn.view.contains(tick.rect));
            zeroShown = zeroShown || tick.text == QLatin1String("0");
        }
        QVERIFY(zeroShown);
    }

    // The chart repaints only what each change touched; what the screen then
    // shows must be what a whole new drawing of the chart would show.
    void chartOnScreenIsWhatAFreshDrawingShows()
    {
        AppFixture app;
        const QDate today = QDate::currentDate();
        const QDate sameMonth = today.day() > 1 ? today.addDays(-1) : today.addDays(1);
        const QDate sameYear = today.month() > 1 ? today.addMonths(-1) : today.addMonths(1);
        addToday(app.ledger(), QStringLiteral("Income"), QStringLiteral("1200"));
        addToday(app.ledger(), QStringLiteral("Payout"), QStringLiteral("300.5"));
        app.ledger().exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES('%1','奖金',5000,'')")
                              .arg(sameMonth.toString(Qt::ISODate)));
        app.ledger().exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('%1','住房',9000,'')")
                              .arg(sameYear.toString(Qt::ISODate)));
        app.show();
        TMainFm *m = app.main();
        user::press(Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        user::press(Qt::Key_T);
        QWidget *viewport = m->DBChartJSR->viewport();
        const auto onScreen = [&] {
            QCoreApplication::processEvents();
            const QRect at(viewport->mapTo(m, QPoint(0, 0)), viewport->size());
            return m->screen()->grabWindow(m->winId(), at.x(), at.y(), at.width(), at.height()).toImage().convertToFormat(QImage::Format_RGB32);
        };
        QImage before = onScreen();
        for (QRadioButton *period : {m->RadioButton3, m->RadioButton2, m->RadioButton1, m->RadioButton3, m->RadioButton2}) {
            if (period->isChecked())
                continue;
            user::click(period);
            // Once the repaints are through (pixels left behind would stay);
            // a partial repaint may blend an antialiased edge one level apart.
            QImage shown;
            QTRY_VERIFY((shown = onScreen()) != before
                        && largestDifference(shown, viewport->grab().toImage().convertToFormat(QImage::Format_RGB32)) <= 2);
            before = shown;
        }
    }

    // The bars of the three series stand side by side, moved by -30 %, 5 %
    // and 40 % of a bar's width: 35 % of a width lies between neighbours.
    void chartBarsStandAtTheirOffsets()
    {
        AppFixture app;
        addToday(app.ledger(), QStringLiteral("Income"), QStringLiteral("1556.8"));
        addToday(app.ledger(), QStringLiteral("Payout"), QStringLiteral("539.5"));
        app.show();
        TMainFm *m = app.main();
        user::press(Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        user::press(Qt::Key_T);
        const DrawnChart drawn(m->DBChartJSR);
        QCOMPARE(drawn.bars.size(), size_t(3));
        const double width = drawn.bars[0].area.width();
        QVERIFY2(width >= 30, qPrintable(QString::number(width)));
        const double offsets[] = {-0.30, 0.05, 0.40};
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(drawn.bars[size_t(k)].series, k);
            QVERIFY(qAbs(drawn.bars[size_t(k)].area.width() - width) < 0.01);
            // Where the bar would stand unmoved, in the middle of its group, plus its offset.
            const double expected = drawn.plot.center().x() + (k - 1 + offsets[k]) * width;
            QVERIFY2(qAbs(drawn.bars[size_t(k)].area.center().x() - expected) < 0.01,
                     qPrintable(QStringLiteral("%1: %2 / %3").arg(k).arg(drawn.bars[size_t(k)].area.center().x()).arg(expected)));
        }
        QVERIFY(qAbs(drawn.bars[1].area.left() - drawn.bars[0].area.right() - 0.35 * width) < 0.01);
        QVERIFY(qAbs(drawn.bars[2].area.left() - drawn.bars[1].area.right() - 0.35 * width) < 0.01);
    }
};

QTEST_MAIN(TestMainLook)
#include "tst_mainlook.moc"
