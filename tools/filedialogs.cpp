#include "tools/filedialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "platform/pathrule.h"

namespace FileDialogs {

namespace {

Chooser openChooser;
Chooser saveChooser;
QString lastFolder;

// The installed course is never written, even when the pupil (root) may.
bool pupilMayWrite(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable())
        return false;
    if (!PathRule::courseIsInstalled())
        return true;
    const QString course = QDir::cleanPath(PathRule::driveRoot());
    const QString path = QDir::cleanPath(info.absoluteFilePath());
    return path != course && !path.startsWith(course + QLatin1Char('/'));
}

QString remembered(const QString& chosen) {
    if (!chosen.isEmpty())
        lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

// Where a real dialog starts.
QString startFolder(const QString& requested) {
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        return lastFolder;
    if (!requested.isEmpty() && pupilMayWrite(requested))
        return requested;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

}  // namespace

QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return entries.join(QStringLiteral(";;"));
}

QString withEndingOf(const QString& path, const QString& chosenType) {
    static const QRegularExpression ending(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = ending.match(chosenType);
    if (path.isEmpty() || !match.hasMatch() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + match.captured(1);
}

QString chooseOpen(QWidget* parent, const Request& request) {
    if (openChooser)
        return openChooser(parent, request);
    return remembered(QFileDialog::getOpenFileName(
        parent, request.title, startFolder(request.directory), qtFilter(request.filter)));
}

QString chooseSave(QWidget* parent, const Request& request) {
    if (saveChooser)
        return saveChooser(parent, request);
    QString chosenType;
    const QString path = QFileDialog::getSaveFileName(
        parent, request.title, startFolder(request.directory), qtFilter(request.filter),
        &chosenType, QFileDialog::DontConfirmOverwrite);
    return remembered(request.endingFromType ? withEndingOf(path, chosenType) : path);
}

void setOpenChooser(Chooser chooser) {
    openChooser = std::move(chooser);
}

void setSaveChooser(Chooser chooser) {
    saveChooser = std::move(chooser);
}

}  // namespace FileDialogs
