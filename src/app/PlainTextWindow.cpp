#include "PlainTextWindow.h"

#include "platform/Fonts.h"
#include "platform/WindowFrame.h"

#include <QEvent>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

PlainTextWindow::PlainTextWindow(const PlainTextWindowDesign &design, QWidget *parent)
    : QWidget(parent, Qt::Window), m_buttonPos(design.buttonPos), m_designWidth(design.outerSize.width()),
      m_buttonFollowsRight(design.buttonFollowsRight)
{
    setWindowTitle(design.caption);
    applyFont(this, windowFont(16, QStringLiteral("MS Sans Serif")), QColor(0, 0, 128));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setPlainText(design.lines.join(QLatin1Char('\n')));
    column->addWidget(Memo1, 1);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setFixedHeight(design.stripHeight);
    column->addWidget(Panel1);

    m_button = new QPushButton(QStringLiteral("确定 [&O]"), Panel1);
    m_button->setObjectName(QLatin1String(design.buttonName));
    m_button->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_button->resize(89, 33);
    connect(m_button, &QPushButton::clicked, this, &PlainTextWindow::BitBtn1Click);
    Panel1->installEventFilter(this);
    placeButton();

    setOuterSize(this, design.outerSize);
}

void PlainTextWindow::BitBtn1Click()
{
    close();
}

bool PlainTextWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Panel1 && event->type() == QEvent::Resize)
        placeButton();
    return QWidget::eventFilter(watched, event);
}

// The strip is as wide as the window, so a button that keeps its distance to
// the strip's right edge moves by what the window grew beyond its design width.
void PlainTextWindow::placeButton()
{
    const int grown = m_buttonFollowsRight ? frameGeometry().width() - m_designWidth : 0;
    m_button->move(std::max(0, m_buttonPos.x() + grown), m_buttonPos.y());
}
