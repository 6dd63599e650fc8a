#include "ButtonPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void drawPlus(QPainter &p, const QColor &colour)
{
    p.setBrush(colour);
    p.setPen(QPen(colour.darker(140), 2));
    p.drawEllipse(QRectF(6, 6, 52, 52));
    p.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 18), QPointF(32, 46));
    p.drawLine(QPointF(18, 32), QPointF(46, 32));
}

void drawCross(QPainter &p)
{
    p.setPen(QPen(QColor(200, 40, 40), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(48, 48));
    p.drawLine(QPointF(48, 16), QPointF(16, 48));
}

void drawDisk(QPainter &p)
{
    p.setPen(QPen(QColor(20, 40, 110), 2));
    p.setBrush(QColor(50, 90, 180));
    p.drawRoundedRect(QRectF(10, 10, 44, 44), 4, 4);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(18, 12, 28, 16));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(20, 36, 24, 16));
}

void drawArrows(QPainter &p)
{
    const QColor colour(30, 140, 60);
    p.setPen(QPen(colour, 7, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14, 14, 36, 36), 30 * 16, 150 * 16);
    p.drawArc(QRectF(14, 14, 36, 36), 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    QPainterPath head;
    head.moveTo(52, 18);
    head.lineTo(54, 34);
    head.lineTo(40, 28);
    head.closeSubpath();
    p.drawPath(head);
    p.drawPath(QTransform().translate(64, 64).rotate(180).map(head));
}

} // namespace

void drawButtonPicture(QPainter &p, ButtonPicture picture)
{
    switch (picture) {
    case ButtonPicture::AddIncome:
        drawPlus(p, QColor(40, 160, 70));
        break;
    case ButtonPicture::AddPayout:
        drawPlus(p, QColor(220, 120, 30));
        break;
    case ButtonPicture::Delete:
        drawCross(p);
        break;
    case ButtonPicture::Save:
        drawDisk(p);
        break;
    case ButtonPicture::Refresh:
        drawArrows(p);
        break;
    }
}

QIcon buttonPicture(ButtonPicture picture)
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawButtonPicture(p, picture);
    return QIcon(pixmap);
}
