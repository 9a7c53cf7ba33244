#pragma once

#include <QImage>
#include <QSize>

class QPainter;

// The windows' fixed pictures as painted by code. make-pictures renders them into resources at
// build time, so start-up loads a finished picture instead of painting with the CJK font.
namespace Painted {

QImage titlePicture();             // 483 x 374
QImage resultPicture(QSize size);  // fits the result dialog's frame
// The window icon, square: a key cap bearing 五 on a teal tile, in the sizes of kIconSizes.
QImage windowIcon(int size);
// The same icon painted into the square (0, 0, size, size) of any device, the scalable file
// make-icons writes included.
void paintWindowIcon(QPainter& painter, int size);
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
QImage helpPicture();  // 24 x 24, "五笔帮助": a book marked 五

}  // namespace Painted
