#include "resources/pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QResource>
#include <array>

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

namespace {
// Each pixel the mean of four: what smooth scaling gives for an opaque picture of exactly twice
// the size, at a fraction of its cost. The tables store their pictures at twice the size shown;
// one in shades of grey stays a byte a pixel.
QPixmap halved(const QPixmap& picture) {
    const QImage grey = picture.toImage();
    if (grey.format() != QImage::Format_Indexed8 || !grey.allGray()) {
        const QImage from = grey.convertToFormat(QImage::Format_RGB32);
        QImage to(from.width() / 2, from.height() / 2, QImage::Format_RGB32);
        for (int y = 0; y < to.height(); ++y) {
            const auto* upper = reinterpret_cast<const QRgb*>(from.constScanLine(2 * y));
            const auto* lower = reinterpret_cast<const QRgb*>(from.constScanLine(2 * y + 1));
            auto* out = reinterpret_cast<QRgb*>(to.scanLine(y));
            for (int x = 0; x < to.width(); ++x) {
                const QRgb four[] = {upper[2 * x], upper[2 * x + 1], lower[2 * x],
                                     lower[2 * x + 1]};
                int red = 2, green = 2, blue = 2;
                for (const QRgb p : four) {
                    red += qRed(p);
                    green += qGreen(p);
                    blue += qBlue(p);
                }
                out[x] = qRgb(red / 4, green / 4, blue / 4);
            }
        }
        return QPixmap::fromImage(std::move(to));
    }
    std::array<int, 256> shade{};
    const QList<QRgb> table = grey.colorTable();
    for (qsizetype i = 0; i < table.size() && i < 256; ++i) shade[size_t(i)] = qGray(table[i]);
    QImage to(grey.width() / 2, grey.height() / 2, QImage::Format_Grayscale8);
    for (int y = 0; y < to.height(); ++y) {
        const uchar* upper = grey.constScanLine(2 * y);
        const uchar* lower = grey.constScanLine(2 * y + 1);
        uchar* out = to.scanLine(y);
        for (int x = 0; x < to.width(); ++x)
            out[x] = uchar((shade[upper[2 * x]] + shade[upper[2 * x + 1]] + shade[lower[2 * x]] +
                            shade[lower[2 * x + 1]] + 2) /
                           4);
    }
    return QPixmap::fromImage(std::move(to), Qt::NoFormatConversion);
}
}  // namespace

// Taken by value: a picture of the right size that nothing else shares gets its ratio without
// being copied.
QPixmap fitted(QPixmap stored, QSize box, qreal ratio) {
    if (stored.isNull() || box.isEmpty())
        return stored;
    const QSize dense = box * ratio;
    if (stored.size() == dense * 2 && !stored.hasAlphaChannel())
        stored = halved(stored);
    else if (stored.width() > dense.width() || stored.height() > dense.height())
        stored = stored.scaled(dense, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const qreal fill =
        qMax(qreal(stored.width()) / box.width(), qreal(stored.height()) / box.height());
    stored.setDevicePixelRatio(qBound(qreal(1), fill, qMax(qreal(1), ratio)));
    return stored;
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
