#include "AddRecordFm.h"

#include "core/DateConventions.h"
#include "platform/DatePicker.h"
#include "platform/ErrorReport.h"
#include "platform/Fonts.h"
#include "platform/TextBox.h"
#include "platform/WindowFrame.h"
#include "store/Connection.h"
#include "store/Query.h"
#include "store/SqlText.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>

namespace {

bool isAmountCharacter(QChar c)
{
    return c == QChar(8) || c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

} // namespace

AddRecordFm::AddRecordFm(const AddRecordKind &kind, QWidget *parent) : QWidget(parent, Qt::Window), m_kind(kind)
{
    setObjectName(QLatin1String(kind.objectName));
    setWindowTitle(kind.caption);
    setOuterSize(this, kind.outerSize);
    applyFont(this, windowFont(16, QStringLiteral("MS Sans Serif")), QColor(0, 0, 128));

    const QString labels[] = {QStringLiteral("日期   "), kind.categoryLabel, kind.amountLabel, QStringLiteral("说明    ")};
    for (int row = 0; row < 4; ++row) {
        auto *label = new QLabel(labels[row], this);
        label->setGeometry(40, 30 + row * 45, 110, 25);
    }
    DateTimePicker1 = new DatePicker(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setGeometry(152, 30, 185, 25);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMaxVisibleItems(20);
    ComboBox1->setGeometry(152, 75, 185, 25);
    Edit3 = newTextBox(this);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setGeometry(152, 120, 185, 25);
    // Pasted text is held to the same characters as typed text.
    Edit3->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), Edit3));
    Edit4 = newTextBox(this);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit4->setGeometry(152, 165, 345, 25);
    Button2 = new QPushButton(QStringLiteral("取消[&C]"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(120, 220, 105, 41);
    Button1 = new QPushButton(QStringLiteral("确定[&O]"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(280, 220, 105, 41);
    for (QPushButton *button : {Button1, Button2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    const std::vector<QWidget *> order = kind.incomeTabOrder
        ? std::vector<QWidget *>{Edit3, Edit4, Button1, Button2, ComboBox1, DateTimePicker1}
        : std::vector<QWidget *>{DateTimePicker1, ComboBox1, Edit3, Edit4, Button1, Button2};
    for (size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QObject *watched : {static_cast<QObject *>(ComboBox1), static_cast<QObject *>(Edit3), static_cast<QObject *>(Edit4)})
        watched->installEventFilter(this);
    if (kind.pickerWalks)
        DateTimePicker1->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, [this] { runUnguarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, &AddRecordFm::Button2Click);
}

bool AddRecordFm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit3 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Keys that type no character pass: Tab and Shift+Tab walk the tab
        // order, and Delete deletes, though X11 gives it the DEL character.
        const bool typesNothing = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab
            || key->key() == Qt::Key_Delete;
        if (!typesNothing && !key->text().isEmpty() && !isAmountCharacter(key->text()[0]))
            return true;
    }
    // Down walks on from the date picker when released; pressed, it would
    // first step the picker's date.
    if (watched == DateTimePicker1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier)
            return true;
    }
    if (event->type() == QEvent::KeyRelease)
        keyReleased(watched, static_cast<QKeyEvent *>(event)->key());
    return QWidget::eventFilter(watched, event);
}

void AddRecordFm::keyReleased(QObject *watched, int key)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool down = key == Qt::Key_Down;
    if (watched == DateTimePicker1 && (enter || down))
        ComboBox1->setFocus();
    else if (watched == ComboBox1 && enter)
        Edit3->setFocus();
    else if (watched == Edit3 && (enter || down))
        Edit4->setFocus();
    else if (watched == Edit4 && enter)
        runUnguarded([this] { Button1Click(); });
}

void AddRecordFm::prepareAndShow(const QString &year, const QString &month, const QString &day)
{
    m_connection->open();
    Query categories(QStringLiteral("ADOQueryClass"));
    categories.setConnection(m_connection);
    categories.setSql(m_kind.categorySql);
    categories.open();
    ComboBox1->clear();
    for (categories.first(); !categories.eof(); categories.next())
        ComboBox1->addItem(categories.fieldText(m_kind.categoryField));
    ComboBox1->setCurrentIndex(-1);
    DateTimePicker1->setDateQuietly(
        DateConventions::system().toDate(year + QLatin1Char('-') + month + QLatin1Char('-') + day));
    Edit3->clear();
    Edit4->clear();
    if (!isVisible()) {
        if (m_kind.designedPlace.isNull()) {
            const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
            centreIn(this, screen);
        } else {
            move(m_kind.designedPlace);
        }
    }
    show();
    raise();
    activateWindow();
    DateTimePicker1->setFocus();
}

QString AddRecordFm::insertStatement() const
{
    return m_kind.insertHead + sqlQuoted(DateConventions::system().format(DateTimePicker1->date())) + QLatin1Char(',')
        + sqlQuoted(ComboBox1->currentText()) + QLatin1Char(',') + Edit3->text() + QLatin1Char(',')
        + sqlQuoted(Edit4->text()) + QLatin1Char(')');
}

void AddRecordFm::Button1Click()
{
    m_connection->open();
    Query insert(QStringLiteral("ADOQueryInsert"));
    insert.setConnection(m_connection);
    insert.clearSql();
    insert.addSql(insertStatement());
    insert.execSQL();
    if (m_listRefresh)
        m_listRefresh();
    hide();
}

void AddRecordFm::Button2Click()
{
    hide();
}
