#pragma once

#include <QPainter>
#include <QPixmap>

#include "resources/pictures.h"

// A transparent size x size picture painted, antialiased, by draw(painter), with as many pixels
// as the screen's device pixel ratio asks for. The painter ends before the picture is returned,
// so the picture leaves finished whether or not the copy is elided.
template <typename Draw>
QPixmap paintedPixmap(int size, Draw draw) {
    const qreal ratio = Pictures::screenRatio();
    QPixmap picture(QSize(size, size) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return picture;
}
