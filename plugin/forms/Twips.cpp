#include "forms/Twips.h"

#include "core/WinRes.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace qel::Twips {

double PerPixel(const QWidget* widget) {
    const QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0.0 ? 1440.0 / dpi : 15.0;
}

int Scaled(int twips, double twipsPerPixel) {
    if (twipsPerPixel != WinRes::kTwipsPerPixelAdjusted) return twips;
    return static_cast<int>(std::lround(twips * WinRes::kFactor));
}

int ToPixels(int twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

int FromPixels(int pixels, double twipsPerPixel) {
    return static_cast<int>(std::lround(pixels * twipsPerPixel));
}

}  // namespace qel::Twips
