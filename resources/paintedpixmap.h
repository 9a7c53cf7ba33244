#pragma once

#include <QPainter>
#include <QPixmap>

// A transparent size x size picture painted, antialiased, by draw(painter). The painter ends
// before the picture is returned, so the picture leaves finished whether or not the copy is
// elided.
template <typename Draw>
QPixmap paintedPixmap(int size, Draw draw) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return picture;
}
