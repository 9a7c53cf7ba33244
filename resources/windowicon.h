#pragma once

#include <QIcon>
#include <QImage>

// The program's window icon, a key cap bearing 五 on a teal tile, painted at build time
// (Painted::windowIcon) so that start-up loads no bold CJK font for it.
namespace WindowIcon {

// The icon in the sizes a desktop asks for (16 to 256 pixels).
QIcon icon();
// One size of it, square: 16, 24, 32, 48, 64, 128 or 256.
QImage render(int size);

}  // namespace WindowIcon
