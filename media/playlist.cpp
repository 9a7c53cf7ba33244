#include "media/playlist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/errors.h"
#include "platform/pathrule.h"

namespace Tunes {

namespace {
QString capitalAscii(QString text) {
    for (QChar& c : text)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return text;
}
}  // namespace

QString path(int k) {
    return PathRule::resolve(QStringLiteral("\\mavro\\Sound\\SOUND%1.MID").arg(k));
}

int numberOf(const QString& fileName) {
    const QString wanted = capitalAscii(fileName);
    for (int k = 1; k <= kCount; ++k)
        if (capitalAscii(path(k)) == wanted)
            return k;
    return 0;
}

int next(int k) {
    return k % kCount + 1;
}

QString caption(int k) {
    static const QString numerals = QStringLiteral("一二三四五六七八九十");
    return QStringLiteral("背景音乐") + numerals.at(k - 1);
}

QString settingsPath() {
    const QString drivePath = QStringLiteral("\\mavro\\Sound\\PlayList.TXT");
    const QString beside = PathRule::resolve(drivePath);
    // Root may write anywhere, so the installed course is left alone by where it is, not by rights.
    if (!PathRule::courseIsInstalled() && QFileInfo(QFileInfo(beside).path()).isWritable())
        return beside;
    return PathRule::resolveInUserData(drivePath);
}

void writeSettings(const QString& code) {
    // Chosen once: the place depends on the course's folder, looked up afresh at every call.
    const QString path = settingsPath();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    const auto cannotWrite = [&] {
        return AppError(QStringLiteral("无法保存音乐设置文件 %1：%2。")
                            .arg(QDir::toNativeSeparators(path), Errors::fileProblem(file, true)));
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw cannotWrite();
    const QByteArray line = code.toLatin1() + "\r\n";
    if (file.write(line) != line.size() || !file.flush())
        throw cannotWrite();
}

}  // namespace Tunes
