#include "app/AboutUt.h"
#include "app/HelpUt.h"
#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "core/Error.h"
#include "support/AppFixture.h"
#include "support/UserInput.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>

namespace {

const QStringList aboutText = {
    QStringLiteral("没有比[Lumibran管理专家]更简单好用的理财软件了！"),
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

const QStringList helpText = {
    QString(),
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

// The lines of a text box as the user sees them, wrapping aside.
QStringList linesOf(const QPlainTextEdit *memo)
{
    QStringList lines;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

// Alt+H opens the help menu, the item's letter chooses it.
void chooseFromHelpMenu(Qt::Key item)
{
    user::press(Qt::Key_H, Qt::AltModifier);
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    user::press(item);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

// Puts the keyboard in the main window again, as a click into it would.
void backToMain(TMainFm *main)
{
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
    user::click(main->Button3);
}

// Types at the end of a text box, as a user who clicked into it would.
void typeAtEnd(QPlainTextEdit *memo, const QString &text)
{
    user::click(memo->viewport());
    QCOMPARE(QApplication::focusWidget(), memo);
    user::press(Qt::Key_End, Qt::ControlModifier);
    user::type(text);
}

// The help window with an on-show layout step that fails.
class FailingHelp : public THelpFm
{
public:
    using THelpFm::THelpFm;
    int fits = 0;

protected:
    void fitMemo() override
    {
        ++fits;
        throw Error(QStringLiteral("布局失败"));
    }
};

} // namespace

class TestAboutAndHelp : public QObject
{
    Q_OBJECT
private slots:
    void aboutShowsTheFourteenLines()
    {
        AppFixture app;
        app.show();
        chooseFromHelpMenu(Qt::Key_A);
        TAboutFm *about = app.windows().AboutFm.get();
        QVERIFY(about->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(about));
        QCOMPARE(about->windowTitle(), QStringLiteral("关于"));
        QCOMPARE(linesOf(about->Memo1), aboutText);
        QVERIFY(!app.windows().HelpFm->isVisible());
    }

    void helpShowsTheSeventeenLines()
    {
        AppFixture app;
        app.show();
        chooseFromHelpMenu(Qt::Key_L);
        THelpFm *help = app.windows().HelpFm.get();
        QVERIFY(help->isVisible());
        QCOMPARE(help->windowTitle(), QStringLiteral("帮助"));
        const QStringList lines = linesOf(help->Memo1);
        QCOMPARE(lines, helpText);
        QVERIFY(lines[3].endsWith(QLatin1Char(';'))); // where line 3 has the full-width one
        QVERIFY(lines[2].endsWith(QChar(0xFF1B)));
        QVERIFY(!app.windows().AboutFm->isVisible());
    }

    void textBoxWrapsAndScrollsVertically()
    {
        AppFixture app;
        app.show();
        chooseFromHelpMenu(Qt::Key_L);
        THelpFm *help = app.windows().HelpFm.get();
        QPlainTextEdit *memo = help->Memo1;
        QVERIFY(!memo->isReadOnly());
        const auto rows = [memo] {
            int count = 0;
            for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
                (void)memo->document()->documentLayout()->blockBoundingRect(block); // lays the block out
                count += block.layout()->lineCount();
            }
            return count;
        };
        const int wide = rows();
        help->resize(help->width() / 2, help->height()); // the user narrows the window
        QVERIFY(rows() > wide); // long lines now wrap at the box's width
        QVERIFY(memo->verticalScrollBar()->isVisible());
        QVERIFY(!memo->horizontalScrollBar()->isVisible());
        QCOMPARE(linesOf(memo), helpText); // wrapping adds no line breaks
    }

    void windowsHaveTheirOuterSizeAndStrip()
    {
        AppFixture app;
        app.show();
        chooseFromHelpMenu(Qt::Key_A);
        backToMain(app.main());
        chooseFromHelpMenu(Qt::Key_L);
        struct
        {
            PlainTextWindow *window;
            QPushButton *button;
            const char *buttonName;
            QSize outer;
            int strip;
            QPoint at;
        } const cases[] = {{app.windows().AboutFm.get(), app.windows().AboutFm->BitBtn1, "BitBtn1", {572, 398}, 52, {464, 8}},
                           {app.windows().HelpFm.get(), app.windows().HelpFm->BitBtn2, "BitBtn2", {668, 469}, 60, {553, 16}}};
        for (const auto &c : cases) {
            QVERIFY(c.window->isVisible());
            QCOMPARE(c.window->frameGeometry().size(), c.outer); // frame included
            QCOMPARE(c.window->Panel1->height(), c.strip);
            QCOMPARE(c.window->Panel1->frameShape(), QFrame::NoFrame);
            QCOMPARE(c.window->Panel1->width(), c.window->width());
            QCOMPARE(c.window->Panel1->geometry().bottom(), c.window->height() - 1);
            // The text box fills the window above the strip.
            QCOMPARE(c.window->Memo1->geometry(), QRect(0, 0, c.window->width(), c.window->height() - c.strip));
            QCOMPARE(c.button->objectName(), QLatin1String(c.buttonName));
            QCOMPARE(c.button->text(), QStringLiteral("确定 [&O]"));
            QCOMPARE(c.button->parentWidget(), c.window->Panel1);
            QCOMPARE(c.button->geometry(), QRect(c.at, QSize(89, 33)));
        }
    }

    void fontIsSansSerifSixteenPixelsNavy()
    {
        AppFixture app;
        app.create();
        for (PlainTextWindow *window :
             std::initializer_list<PlainTextWindow *>{app.windows().AboutFm.get(), app.windows().HelpFm.get()}) {
            const QFont font = window->Memo1->font();
            QCOMPARE(font.pixelSize(), 16);
            const QString family = QFontInfo(font).family();
            if (QFontDatabase::families().contains(QStringLiteral("MS Sans Serif")))
                QCOMPARE(family, QStringLiteral("MS Sans Serif"));
            else // the texts are Chinese: the stand-in must draw them
                QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese),
                         qPrintable(family));
            QCOMPARE(window->Memo1->palette().color(QPalette::Text), QColor(0, 0, 128));
            QPushButton *button = window->findChild<QPushButton *>();
            QCOMPARE(button->font().pixelSize(), 16);
            QCOMPARE(button->palette().color(QPalette::ButtonText), QColor(0, 0, 128));
        }
    }

    void choosingAboutTwiceShowsOneWindowInFront()
    {
        AppFixture app;
        app.show();
        chooseFromHelpMenu(Qt::Key_A);
        TAboutFm *about = app.windows().AboutFm.get();
        QVERIFY(QTest::qWaitForWindowActive(about));
        typeAtEnd(about->Memo1, QStringLiteral("mine"));
        backToMain(app.main());
        QCOMPARE(QApplication::activeWindow(), app.main());
        chooseFromHelpMenu(Qt::Key_A);
        QVERIFY(QTest::qWaitForWindowActive(about));
        int abouts = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            abouts += qobject_cast<TAboutFm *>(window) ? 1 : 0;
        QCOMPARE(abouts, 1);
        QVERIFY(about->Memo1->toPlainText().endsWith(QStringLiteral("mine"))); // left unchanged
    }

    void typedTextLastsUntilTheProgramEnds()
    {
        {
            AppFixture app;
            app.show();
            chooseFromHelpMenu(Qt::Key_L);
            THelpFm *help = app.windows().HelpFm.get();
            QVERIFY(QTest::qWaitForWindowActive(help));
            typeAtEnd(help->Memo1, QStringLiteral("note 42"));
            QVERIFY(help->Memo1->toPlainText().endsWith(QStringLiteral("note 42")));
            user::press(Qt::Key_O, Qt::AltModifier);
            QTRY_VERIFY(!help->isVisible()); // a mnemonic presses the button visibly first
            backToMain(app.main());
            chooseFromHelpMenu(Qt::Key_L);
            QVERIFY(help->isVisible());
            QVERIFY(help->Memo1->toPlainText().endsWith(QStringLiteral("note 42")));
        }
        // The next start shows the fixed text again: nothing was saved.
        AppFixture app;
        app.show();
        chooseFromHelpMenu(Qt::Key_L);
        QCOMPARE(linesOf(app.windows().HelpFm->Memo1), helpText);
    }

    void okButtonAltOAndCloseBoxOnlyHide()
    {
        AppFixture app;
        app.show();
        TAboutFm *about = app.windows().AboutFm.get();
        THelpFm *help = app.windows().HelpFm.get();
        const QPointer<QWidget> aboutAlive(about), helpAlive(help);

        chooseFromHelpMenu(Qt::Key_A);
        user::click(about->BitBtn1);
        QVERIFY(!about->isVisible());
        chooseFromHelpMenu(Qt::Key_L);
        user::click(help->BitBtn2);
        QVERIFY(!help->isVisible());

        // Alt+O from the text box
        chooseFromHelpMenu(Qt::Key_L);
        QVERIFY(QTest::qWaitForWindowActive(help));
        user::click(help->Memo1->viewport());
        user::press(Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(!help->isVisible());
        QCOMPARE(linesOf(help->Memo1), helpText); // pressed the button, typed nothing
        backToMain(app.main());
        chooseFromHelpMenu(Qt::Key_A);
        QVERIFY(QTest::qWaitForWindowActive(about));
        user::click(about->Memo1->viewport());
        user::press(Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(!about->isVisible());

        // The close box does what the button does.
        for (QWidget *window : {static_cast<QWidget *>(about), static_cast<QWidget *>(help)}) {
            backToMain(app.main());
            chooseFromHelpMenu(window == about ? Qt::Key_A : Qt::Key_L);
            QVERIFY(window->isVisible());
            user::closeBox(window);
            QVERIFY(!window->isVisible());
        }
        QVERIFY(aboutAlive && helpAlive);
        QVERIFY(app.main()->isVisible());
        QCOMPARE(app.main()->statusText(), QString());
    }

    void enlargedHelpKeepsItsButtonAtTheLowerRight()
    {
        AppFixture app;
        app.show();
        chooseFromHelpMenu(Qt::Key_L);
        THelpFm *help = app.windows().HelpFm.get();
        const QSize before = help->size();
        const int memoHeight = help->Memo1->height();
        const int rightGap = help->Panel1->width() - help->BitBtn2->geometry().right();
        help->resize(before + QSize(200, 150)); // as the window system does for a drag
        QCOMPARE(help->Panel1->width() - help->BitBtn2->geometry().right(), rightGap);
        QCOMPARE(help->BitBtn2->pos(), QPoint(553 + 200, 16));
        const QRect button(help->BitBtn2->mapTo(help, QPoint()), help->BitBtn2->size());
        QVERIFY(button.bottom() < help->height());
        QCOMPARE(help->height() - button.bottom(), 60 - 16 - 33 + 1); // its place in the strip
        QCOMPARE(help->Memo1->height(), memoHeight + 150);
        QCOMPARE(help->Memo1->width(), help->width());

        // The about window's button has no such anchor: it stays where it is.
        backToMain(app.main());
        chooseFromHelpMenu(Qt::Key_A);
        TAboutFm *about = app.windows().AboutFm.get();
        about->resize(about->size() + QSize(100, 100));
        QCOMPARE(about->BitBtn1->pos(), QPoint(464, 8));
        QCOMPARE(about->Memo1->height(), about->height() - 52);
    }

    void windowsOpenCentredThenWhereLeft()
    {
        AppFixture app;
        app.show();
        TMainFm *main = app.main();
        THelpFm *help = app.windows().HelpFm.get();
        chooseFromHelpMenu(Qt::Key_L);
        const QPoint centre = main->frameGeometry().center();
        QVERIFY((help->frameGeometry().center() - centre).manhattanLength() <= 1);

        help->move(help->pos() + QPoint(40, 30)); // the user drags it away
        const QPoint left = help->pos();
        user::click(help->BitBtn2);
        backToMain(main);
        main->move(main->pos() + QPoint(-20, 10));
        chooseFromHelpMenu(Qt::Key_L);
        QCOMPARE(help->pos(), left);

        // The about window is placed on its own first showing.
        backToMain(main);
        chooseFromHelpMenu(Qt::Key_A);
        QVERIFY((app.windows().AboutFm->frameGeometry().center() - main->frameGeometry().center()).manhattanLength() <= 1);
    }

    void failedLayoutStepIsReportedAndTheWindowShown()
    {
        AppFixture app;
        app.show();
        TMainFm *main = app.main();
        FailingHelp help(main->StatusBar1);
        help.show();
        QVERIFY(help.isVisible());
        QCOMPARE(help.fits, 1);
        QCOMPARE(main->statusText(), QStringLiteral("布局失败"));
        QVERIFY(app.boxes().shown.isEmpty());
        help.close();
        help.show(); // each showing runs the step again
        QCOMPARE(help.fits, 2);
    }
};

QTEST_MAIN(TestAboutAndHelp)
#include "tst_aboutandhelp.moc"
