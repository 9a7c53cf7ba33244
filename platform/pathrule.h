#pragma once

#include <QString>

// Files are named by drive-rooted paths such as "\mavro\Sound\SOUND1.MID". On Linux the drive root
// is "/", unless QORVEX_DRIVE names a folder that stands in for it.
namespace PathRule {

QString driveRoot();
QString resolve(const QString& drivePath);

}  // namespace PathRule
