#pragma once

#include <QIcon>
#include <QImage>

// The program's window icon, painted by code: a key cap bearing 五 on a teal tile.
namespace WindowIcon {

// The icon in the sizes a desktop asks for (16 to 256 pixels).
QIcon icon();
// One size of it, square.
QImage render(int size);

}  // namespace WindowIcon
