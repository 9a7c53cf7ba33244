#include "resources/windowicon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace WindowIcon {

void paint(QPainter& painter, int size) {
    painter.setRenderHint(QPainter::Antialiasing);

    // The tile: teal, the colour of the drill windows.
    const QRectF tile(size * 0.03, size * 0.03, size * 0.94, size * 0.94);
    QLinearGradient tileShade(tile.topLeft(), tile.bottomLeft());
    tileShade.setColorAt(0, QColor(0x1c, 0x9c, 0x9c));
    tileShade.setColorAt(1, QColor(0x0b, 0x5e, 0x60));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tileShade);
    painter.drawRoundedRect(tile, size * 0.18, size * 0.18);

    // The key cap, a little lighter on its top face, with a shadow below.
    const QRectF cap(size * 0.17, size * 0.15, size * 0.66, size * 0.66);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawRoundedRect(cap.translated(0, size * 0.06), size * 0.1, size * 0.1);
    painter.setBrush(QColor(0xf4, 0xf1, 0xe6));
    painter.drawRoundedRect(cap, size * 0.1, size * 0.1);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(cap.adjusted(size * 0.05, size * 0.04, -size * 0.05, -size * 0.08),
                            size * 0.07, size * 0.07);

    // 五: the first character of the method's name; at the smallest size a plain bar stands in.
    // The glyph is drawn as its outline, so the scalable icon needs no font where it is shown.
    const QRectF face = cap.adjusted(size * 0.05, size * 0.03, -size * 0.05, -size * 0.08);
    if (size >= 20) {
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPixelSize(qMax(8, int(size * 0.44)));
        font.setBold(true);
        QPainterPath glyph;
        glyph.addText(0, 0, font, QStringLiteral("五"));
        glyph.translate(face.center() - glyph.boundingRect().center());
        painter.setBrush(QColor(0xb0, 0x1c, 0x1c));
        painter.drawPath(glyph);
    } else {
        painter.setBrush(QColor(0xb0, 0x1c, 0x1c));
        painter.drawRect(QRectF(face.center().x() - size * 0.2, face.center().y() - size * 0.05,
                                size * 0.4, size * 0.1));
    }
}

QImage render(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter, size);
    return image;
}

QIcon icon() {
    QIcon result;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        result.addPixmap(QPixmap::fromImage(render(size)));
    return result;
}

}  // namespace WindowIcon
