#pragma once

#include <QPixmap>
#include <QSize>

// Pictures of the windows, painted by code.
namespace Pictures {

// The main window's title picture, 483 x 374.
QPixmap titlePicture();
// The result dialog's decorative picture.
QPixmap resultPicture(QSize size);

}  // namespace Pictures
