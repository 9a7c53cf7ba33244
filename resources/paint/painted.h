#pragma once

#include <QImage>
#include <QSize>

// The windows' fixed pictures as painted by code. make-pictures renders them into PNG resources at
// build time, so start-up loads a finished picture instead of painting with the CJK font.
namespace Painted {

QImage titlePicture();             // 483 x 374
QImage resultPicture(QSize size);  // fits the result dialog's frame

}  // namespace Painted
