#include "Fonts.h"

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

QFont windowFont(int pixelSize, const QString &family)
{
    static const QStringList fallbacks = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                                          QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback")};
    const QStringList families = QFontDatabase::families();
    QFont font;
    if (families.contains(family)) {
        font.setFamily(family);
    } else {
        for (const QString &fallback : fallbacks)
            if (families.contains(fallback)) {
                font.setFamily(fallback);
                break;
            }
    }
    font.setPixelSize(pixelSize);
    return font;
}

void applyFont(QWidget *widget, const QFont &font, const QColor &color)
{
    widget->setFont(font);
    QPalette palette = widget->palette();
    // Disabled text keeps the style's grey: it tells what cannot be used.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, color);
    widget->setPalette(palette);
}
