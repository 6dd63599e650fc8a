#include "PickListPopup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

PickListPopup::PickListPopup(QWidget *owner) : QListWidget(owner)
{
    setWindowFlags(Qt::Popup);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemClicked, this, &QWidget::close);
}

void PickListPopup::dropDown(const QStringList &names, const QString &current, const QRect &cell)
{
    // A window of its own inherits neither the font nor the colours.
    setFont(parentWidget()->font());
    setPalette(parentWidget()->palette());
    clear();
    addItems(names);
    setCurrentRow(int(names.indexOf(current)));
    const int rows = std::min(int(names.size()), 20);
    QRect area(cell.bottomLeft() + QPoint(0, 1), QSize(cell.width(), rows * sizeHintForRow(0) + 2 * frameWidth()));
    const QScreen *screen = QGuiApplication::screenAt(cell.center());
    if (screen && area.bottom() > screen->availableGeometry().bottom())
        area.moveBottom(cell.top() - 1);
    setGeometry(area);
    show();
    if (currentItem())
        scrollToItem(currentItem());
    setFocus();
}

void PickListPopup::keyPressEvent(QKeyEvent *event)
{
    const bool closes = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
        || event->key() == Qt::Key_Escape || event->key() == Qt::Key_F4
        || (event->key() == Qt::Key_Up && event->modifiers() == Qt::AltModifier);
    if (closes)
        close();
    else
        QListWidget::keyPressEvent(event);
}
