#include "resources/windowicon.h"

#include <QPixmap>

#include "resources/paint/painted.h"

namespace WindowIcon {

QImage render(int size) {
    return QImage(QStringLiteral(":/pictures/icon-%1.png").arg(size));
}

QIcon icon() {
    QIcon result;
    for (int size : Painted::kIconSizes) result.addPixmap(QPixmap::fromImage(render(size)));
    return result;
}

}  // namespace WindowIcon
