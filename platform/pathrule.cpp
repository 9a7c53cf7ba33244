#include "platform/pathrule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace PathRule {

namespace {

struct Found {
    QString root;
    bool installed = false;
};

QString userRoot() {
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/qorvex"));
}

// A folder counts as a course only with its practice table: the pupil's own data folder may hold
// a "mavro" folder with nothing but the music settings file.
bool holdsCourse(const QString& root) {
    return QFileInfo::exists(root + QStringLiteral("/mavro/111.DB"));
}

// The "qorvex" folders that may hold the course, in the order they are searched.
QStringList searchedRoots() {
    QStringList roots;
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        roots << QDir::cleanPath(data + QStringLiteral("/qorvex"));
    // A staged or relocated install finds the course beside its own program.
    if (QCoreApplication::instance())
        roots << QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                 QStringLiteral("/../share/qorvex"));
    roots.removeDuplicates();
    return roots;
}

// Looked up on every call (a few stat calls): tests and a pupil may move the course meanwhile.
Found find() {
    const QString drive = qEnvironmentVariable("QORVEX_DRIVE");
    if (!drive.isEmpty())
        return {QDir::cleanPath(drive)};
    if (QFileInfo(QStringLiteral("/mavro")).isDir())
        return {QStringLiteral("/")};
    const QString own = userRoot();
    for (const QString& root : searchedRoots())
        if (holdsCourse(root))
            return {root, root != own};
    return {QStringLiteral("/")};
}

QString relativePart(const QString& drivePath) {
    QString relative = drivePath;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (relative.startsWith(QLatin1Char('/'))) relative.remove(0, 1);
    return relative;
}

}  // namespace

QString driveRoot() {
    return find().root;
}

bool courseIsInstalled() {
    return find().installed;
}

QString resolve(const QString& drivePath) {
    return QDir::cleanPath(driveRoot() + QLatin1Char('/') + relativePart(drivePath));
}

QString resolveInUserData(const QString& drivePath) {
    return QDir::cleanPath(userRoot() + QLatin1Char('/') + relativePart(drivePath));
}

}  // namespace PathRule
