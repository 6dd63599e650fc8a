#include "CompactStyle.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace {

class CompactStyle : public QProxyStyle
{
public:
    static constexpr int arrowWidth = 11;
    static constexpr int comboFrame = 2;
    static constexpr int captionIndent = 6;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        if (control == CC_ComboBox && (part == SC_ComboBoxArrow || part == SC_ComboBoxEditField)) {
            const QRect inner = option->rect.adjusted(comboFrame, comboFrame, -comboFrame, -comboFrame);
            const QRect rect = part == SC_ComboBoxArrow
                                   ? QRect(inner.right() - arrowWidth + 1, inner.top(), arrowWidth, inner.height())
                                   : inner.adjusted(0, 0, -arrowWidth, 0);
            return visualRect(option->direction, option->rect, rect);
        }
        QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        if (control == CC_GroupBox && part == SC_GroupBoxLabel)
            rect.translate(option->direction == Qt::RightToLeft ? -captionIndent : captionIndent,
                           -halfLeading(option));
        return rect;
    }

    // Half the space that the font's line keeps above and below its glyphs:
    // the caption moves up by it, so that its glyphs start at the group's top.
    static int halfLeading(const QStyleOption *option)
    {
        return std::max(0, option->fontMetrics.height() - option->fontMetrics.tightBoundingRect(QStringLiteral("范")).height()) / 2;
    }

    // The frame line runs through the middle of the caption.
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        const auto *box = qobject_cast<const QGroupBox *>(widget);
        const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
        if (element == PE_FrameGroupBox && box && frame && !box->title().isEmpty()) {
            // The base style draws the frame one caption line and a margin below the top.
            const int height = option->fontMetrics.height();
            const int baseTop = std::max(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget), height) + 4;
            QStyleOptionFrame raised(*frame);
            raised.rect.setTop(raised.rect.top() - baseTop + height / 2 - halfLeading(option));
            QProxyStyle::drawPrimitive(element, &raised, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    // The frame leaves a gap for the caption.
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override
    {
        const auto *group = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
        if (control != CC_GroupBox || !group) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionGroupBox frame(*group);
        frame.subControls &= ~SC_GroupBoxLabel;
        QRegion outside(option->rect);
        outside -= subControlRect(control, option, SC_GroupBoxLabel, widget).adjusted(-2, 0, 2, 0);
        painter->save();
        painter->setClipRegion(outside);
        QProxyStyle::drawComplexControl(control, &frame, painter, widget);
        painter->restore();
        QStyleOptionGroupBox label(*group);
        label.subControls &= SC_GroupBoxLabel;
        QProxyStyle::drawComplexControl(control, &label, painter, widget);
    }
};

} // namespace

void useCompactStyle(QWidget *widget)
{
    // One style for all such widgets, owned by the application.
    static QStyle *style = [] {
        auto *compact = new CompactStyle;
        compact->setParent(qApp);
        return compact;
    }();
    widget->setStyle(style);
}
