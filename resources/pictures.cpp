#include "resources/pictures.h"

namespace Pictures {

QPixmap titlePicture() {
    return QPixmap(QStringLiteral(":/pictures/title.bmp"));
}

QPixmap resultPicture(QSize size) {
    const QPixmap picture(QStringLiteral(":/pictures/result.png"));
    return picture.size() == size
               ? picture
               : picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace Pictures
