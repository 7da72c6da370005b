// Positions and sizes in twips (1440 per inch), converted to pixels at the screen's resolution.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zostore::ui::twips {

inline constexpr int PerInch = 1440;

// Logical DPI of the primary screen (96 without a screen).
double screenDpi();

int toPixels(int twips, double dpi);
int fromPixels(int pixels, double dpi);
int toPixels(int twips);
int fromPixels(int pixels);
QSize toPixels(QSize twips);
QRect toPixels(QRect twips);
QSize sizeFromPixels(QSize pixels);

} // namespace zostore::ui::twips
