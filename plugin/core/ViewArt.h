// Pictures of the upgrade and About windows, drawn rather than shipped as files: the mark
// that tells a firmware upgrade succeeded, and the maker's logo.
#pragma once

#include <QPixmap>

namespace qel::ViewArt {

QPixmap SuccessMark();
QPixmap MakerLogo();

}  // namespace qel::ViewArt
