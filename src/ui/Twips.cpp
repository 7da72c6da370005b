// Twips and pixels.
#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace zostore::ui::twips {

double screenDpi() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

int toPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / PerInch));
}
int fromPixels(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * PerInch / dpi));
}
int toPixels(int twips) {
    return toPixels(twips, screenDpi());
}
int fromPixels(int pixels) {
    return fromPixels(pixels, screenDpi());
}
QSize toPixels(QSize t) {
    return {toPixels(t.width()), toPixels(t.height())};
}
QRect toPixels(QRect t) {
    return {toPixels(t.x()), toPixels(t.y()), toPixels(t.width()), toPixels(t.height())};
}
QSize sizeFromPixels(QSize p) {
    return {fromPixels(p.width()), fromPixels(p.height())};
}

} // namespace zostore::ui::twips
