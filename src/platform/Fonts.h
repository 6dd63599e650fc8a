#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The window font "幼圆" at a pixel size, or a CJK font that renders the
// Chinese captions where the system lacks it.
QFont windowFont(int pixelSize, const QString &family = QStringLiteral("幼圆"));
// Sets a widget's font and its text colour.
void applyFont(QWidget *widget, const QFont &font, const QColor &color);
