#include "forms/framework/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tv::forms {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kDesignDpi = 96.0;

// Without a screen (a tool run with no display) the design resolution applies.
double logicalDpi(bool across) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return kDesignDpi;
    const double dpi = across ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

double twipsPerPixelX() { return kTwipsPerInch / logicalDpi(true); }
double twipsPerPixelY() { return kTwipsPerInch / logicalDpi(false); }

int twipsToPixelsX(double twips) { return static_cast<int>(std::lround(twips / twipsPerPixelX())); }
int twipsToPixelsY(double twips) { return static_cast<int>(std::lround(twips / twipsPerPixelY())); }
int pixelsToTwipsX(int pixels) { return static_cast<int>(std::lround(pixels * twipsPerPixelX())); }
int pixelsToTwipsY(int pixels) { return static_cast<int>(std::lround(pixels * twipsPerPixelY())); }

QRect twipsToPixels(const QRect& twips) {
    return QRect(twipsToPixelsX(twips.x()), twipsToPixelsY(twips.y()),
                 twipsToPixelsX(twips.width()), twipsToPixelsY(twips.height()));
}

QRect pixelsToTwips(const QRect& pixels) {
    return QRect(pixelsToTwipsX(pixels.x()), pixelsToTwipsY(pixels.y()),
                 pixelsToTwipsX(pixels.width()), pixelsToTwipsY(pixels.height()));
}

}  // namespace tv::forms
