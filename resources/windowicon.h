#pragma once

#include <QIcon>
#include <QImage>

class QPainter;

// The program's window icon, painted by code: a key cap bearing 五 on a teal tile.
namespace WindowIcon {

// The icon in the sizes a desktop asks for (16 to 256 pixels).
QIcon icon();
// One size of it, square.
QImage render(int size);
// Paints the icon into the square (0, 0, size, size) of any device: an image, or the scalable
// file make-icons writes at build time.
void paint(QPainter& painter, int size);

}  // namespace WindowIcon
