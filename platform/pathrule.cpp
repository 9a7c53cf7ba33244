#include "platform/pathrule.h"

#include <QDir>

namespace PathRule {

QString driveRoot() {
    const QString drive = qEnvironmentVariable("QORVEX_DRIVE");
    return drive.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(drive);
}

QString resolve(const QString& drivePath) {
    QString relative = drivePath;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (relative.startsWith(QLatin1Char('/'))) relative.remove(0, 1);
    return QDir::cleanPath(driveRoot() + QLatin1Char('/') + relative);
}

}  // namespace PathRule
