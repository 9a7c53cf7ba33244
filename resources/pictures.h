#pragma once

#include <QPixmap>
#include <QSize>

// Pictures of the windows, painted by code. Each comes for the screen's device pixel ratio: a
// screen at twice the density gets the picture painted with twice the pixels, not enlarged.
namespace Pictures {

// The ratio the program's pictures are made for: the highest of the screens'.
qreal screenRatio();

// The main window's title picture, 483 x 374.
QPixmap titlePicture(qreal ratio = screenRatio());
// The result dialog's decorative picture.
QPixmap resultPicture(QSize size, qreal ratio = screenRatio());
// A picture painted at build time, name.png, or name@2x.png on a denser screen.
QPixmap compiledPicture(const QString& name, qreal ratio = screenRatio());
// A stored picture made ready for a box of the given size: a picture with more pixels than the
// box has at the ratio is scaled down smoothly once here, rather than at every paint, and one with
// more pixels than the box keeps them as a denser picture, up to the ratio. A smaller picture is
// left as it is.
QPixmap fitted(QPixmap stored, QSize box, qreal ratio = screenRatio());
// The check mark of a Yes button, 16 x 16.
QPixmap yesMark(qreal ratio = screenRatio());

}  // namespace Pictures
