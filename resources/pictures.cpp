#include "resources/pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QResource>

#include "resources/rawpicture.h"

namespace Pictures {

qreal screenRatio() {
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QPixmap compiledPicture(const QString& name, qreal ratio) {
    if (ratio > 1) {
        QPixmap dense(QStringLiteral(":/pictures/%1@2x.png").arg(name));
        if (!dense.isNull()) {
            dense.setDevicePixelRatio(2);
            return dense;
        }
    }
    return QPixmap(QStringLiteral(":/pictures/%1.png").arg(name));
}

// The first picture the pupil sees: on an ordinary screen copied from the program's own bytes
// rather than decoded.
QPixmap titlePicture(qreal ratio) {
    if (ratio > 1)
        return compiledPicture(QStringLiteral("title"), ratio);
    // Stored uncompressed, so this refers to the compiled-in bytes.
    const QByteArray bytes = QResource(QStringLiteral(":/pictures/title.raw")).uncompressedData();
    return QPixmap::fromImage(
        RawPicture::decode(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size()));
}

QPixmap resultPicture(QSize size, qreal ratio) {
    const QPixmap picture = compiledPicture(QStringLiteral("result"), ratio);
    if (picture.deviceIndependentSize().toSize() == size)
        return picture;
    QPixmap scaled = picture.scaled(size * picture.devicePixelRatio(), Qt::KeepAspectRatio,
                                    Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(picture.devicePixelRatio());
    return scaled;
}

QPixmap fitted(const QPixmap& stored, QSize box, qreal ratio) {
    if (stored.isNull() || box.isEmpty())
        return stored;
    const QSize dense = box * ratio;
    QPixmap picture = stored;
    if (picture.width() > dense.width() || picture.height() > dense.height())
        picture = stored.scaled(dense, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const qreal fill =
        qMax(qreal(picture.width()) / box.width(), qreal(picture.height()) / box.height());
    picture.setDevicePixelRatio(qBound(qreal(1), fill, qMax(qreal(1), ratio)));
    return picture;
}

QPixmap yesMark(qreal ratio) {
    QPixmap picture(QSize(16, 16) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    p.setPen(QPen(QColor(0, 128, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    return picture;
}

}  // namespace Pictures
