#include "resources/pictures.h"

#include <QResource>

#include "resources/rawpicture.h"

namespace Pictures {

// The first picture the pupil sees: copied from the program's own bytes rather than decoded.
QPixmap titlePicture() {
    // Stored uncompressed, so this refers to the compiled-in bytes.
    const QByteArray bytes = QResource(QStringLiteral(":/pictures/title.raw")).uncompressedData();
    return QPixmap::fromImage(
        RawPicture::decode(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size()));
}

QPixmap resultPicture(QSize size) {
    const QPixmap picture(QStringLiteral(":/pictures/result.png"));
    return picture.size() == size
               ? picture
               : picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace Pictures
