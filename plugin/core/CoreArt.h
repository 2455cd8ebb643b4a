// The pictures of the plugin's own windows, drawn rather than shipped as files: the
// unit, the plug in both states, the frame-timing symbol and the exit door.
#pragma once

#include <QPixmap>

namespace qel::CoreArt {

QPixmap Device();
QPixmap Plug(bool connected);
QPixmap FrameSettings(bool active);
QPixmap Exit();

}  // namespace qel::CoreArt
