#pragma once

#include <QImage>
#include <QSize>

class QPainter;

// The windows' fixed pictures as painted by code. make-pictures renders them into resources at
// build time, so start-up loads a finished picture instead of painting with the CJK font.
namespace Painted {

// Pictures for a screen of the given device pixel ratio: the same size in logical pixels, ratio
// times as many pixels.
QImage titlePicture(qreal ratio = 1);               // 483 x 374
QImage resultPicture(QSize size, qreal ratio = 1);  // fits the result dialog's frame
// The window icon, square: a key cap bearing 五 on a teal tile, in the sizes of kIconSizes.
QImage windowIcon(int size);
// The same icon painted into the square (0, 0, size, size) of any device, the scalable file
// make-icons writes included.
void paintWindowIcon(QPainter& painter, int size);
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
QImage helpPicture(qreal ratio = 1);  // 24 x 24, "五笔帮助": a book marked 五

}  // namespace Painted
