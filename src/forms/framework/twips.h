// Twips, the unit in which windows and the settings store measure geometry: 1440 to the
// inch, so 15 to a pixel on a screen of 96 logical dots per inch. Conversions use the
// primary screen's logical DPI, so stored sizes mean the same on every workstation.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tv::forms {

// Twips per pixel across and down (15 at 96 DPI).
double twipsPerPixelX();
double twipsPerPixelY();

// Pixels for a measure in twips, rounded to the nearest pixel, and back.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
int pixelsToTwipsX(int pixels);
int pixelsToTwipsY(int pixels);

// Geometry in twips (left, top, width, height) to pixels, and back.
QRect twipsToPixels(const QRect& twips);
QRect pixelsToTwips(const QRect& pixels);

}  // namespace tv::forms
