// Window geometry is kept in twips (1/1440 inch); widgets are placed in pixels.
#pragma once

class QWidget;

namespace qel::Twips {

// Twips per pixel on the screen the widget is on (the primary screen when it has none).
double PerPixel(const QWidget* widget);

// A width or height computed in twips, enlarged by 1.26 on a display of 15 twips per
// pixel (96 dots per inch) and used as it is elsewhere.
int Scaled(int twips, double twipsPerPixel);

int ToPixels(int twips, double twipsPerPixel);
int FromPixels(int pixels, double twipsPerPixel);

}  // namespace qel::Twips
