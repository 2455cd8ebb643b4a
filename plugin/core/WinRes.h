// Enlarging a window and its controls by 1.26 on displays of 96 dots per inch (15 twips
// a pixel), for windows whose controls are placed by position rather than by a layout.
//
// A window with a layout is left alone: the layout sizes its controls from their fonts,
// and Qt scales for the display by itself. A window without one gets each of its
// controls adjusted by kind, in the window's own order, then its own size.
#pragma once

class QWidget;

namespace qel::WinRes {

inline constexpr double kFactor = 1.26;
inline constexpr double kTwipsPerPixelAdjusted = 15.0;

// Adjusts `form` for the display it is on.
void AdjustForm(QWidget* form);
// The same, for a display of `twipsPerPixel`.
void AdjustForm(QWidget* form, double twipsPerPixel);

// Adjusts one control by its kind:
//   sliders             position and size, then 25 twips down (horizontal) or right;
//   labels, group boxes, text fields, check boxes, push buttons, date/time fields
//                       position, size and font;
//   combo boxes         position, width and font (the height follows the font);
//   item views (lists)  position and font;
//   images (labels with a picture)      position;
//   lines, and widgets of the plugin's own (gauges, shapes)  position and size;
//   radio buttons, progress and status bars, menus, tool bars  nothing.
void AdjustControl(QWidget* control, double twipsPerPixel);

}  // namespace qel::WinRes
