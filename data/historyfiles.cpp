#include "data/historyfiles.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cerrno>

namespace History {

namespace {

// The home folder the password database gives the account, when it is a real folder.
QString accountHome() {
    const passwd* account = ::getpwuid(::getuid());
    if (!account || !account->pw_dir)
        return {};
    const QString home = QDir::cleanPath(QFile::decodeName(account->pw_dir));
    return QDir::isAbsolutePath(home) && !QDir(home).isRoot() && QFileInfo(home).isDir()
               ? home
               : QString();
}

QString homeFolder() {
    const QString home = qEnvironmentVariable("HOME");
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(home) : accountHome();
}

QString cacheFolder() {
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(cache))
        return QDir::cleanPath(cache) + QStringLiteral("/qorvex");
    const QString home = homeFolder();
    return home.isEmpty() ? QString() : home + QStringLiteral("/.cache/qorvex");
}

// Opened without following a link and without waiting on a pipe, so that the mode changed is
// the file's own.
void narrow(const QByteArray& name, bool folder) {
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC |
                                                (folder ? O_DIRECTORY : 0));
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && (folder ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode)) &&
        info.st_uid == ::geteuid() && (info.st_mode & 077))
        ::fchmod(fd, info.st_mode & 0700);
    ::close(fd);
}

QString leftoverPattern(const QString& history) {
    return QFileInfo(history).fileName() + QStringLiteral(".unsaved-*.json");
}

QJsonObject toJson(const Page& page) {
    QString characters;
    QJsonArray codes, wrongs, hinted;
    for (const Stroke& s : page.strokes) {
        characters += s.character;
        codes.append(s.code);
        wrongs.append(QJsonArray::fromStringList(s.wrongs));
        hinted.append(s.hinted);
    }
    return {{"at", double(page.at.toMSecsSinceEpoch())},
            {"drill", page.drill},
            {"lesson", page.lesson},
            {"rangeFirst", page.rangeFirst},
            {"rangeSecond", page.rangeSecond},
            {"pageNo", page.pageNo},
            {"ms", double(page.ms)},
            {"amount", page.amount},
            {"speedText", page.speedText},
            {"errors", page.errors},
            {"characters", characters},
            {"times", QString::fromLatin1(packTimes(page.strokes).toBase64())},
            {"codes", codes},
            {"wrongs", wrongs},
            {"hinted", hinted}};
}

Page fromJson(const QJsonObject& o) {
    Page page;
    page.at = QDateTime::fromMSecsSinceEpoch(qint64(qBound(-8.64e15, o["at"].toDouble(), 8.64e15)),
                                             Qt::UTC);
    page.drill = o["drill"].toString();
    page.lesson = o["lesson"].toString();
    page.rangeFirst = o["rangeFirst"].toInt();
    page.rangeSecond = o["rangeSecond"].toInt();
    page.pageNo = o["pageNo"].toInt();
    page.ms = qint64(qBound(-1.0, o["ms"].toDouble(), double(kLongestMs) + 1));
    page.amount = o["amount"].toInt();
    page.speedText = o["speedText"].toString();
    page.errors = o["errors"].toInt();
    page.strokes = unpack(o["characters"].toString(),
                          QByteArray::fromBase64(o["times"].toString().toLatin1()));
    // Each stroke's code, what came instead and the hint's state; absent in older files.
    const QJsonArray codes = o["codes"].toArray(), wrongs = o["wrongs"].toArray(),
                     hinted = o["hinted"].toArray();
    for (qsizetype i = 0; i < page.strokes.size(); ++i) {
        Stroke& s = page.strokes[i];
        s.code = codes.at(i).toString();
        for (const QJsonValue w : wrongs.at(i).toArray()) s.wrongs << w.toString();
        s.hinted = hinted.at(i).toBool();
    }
    return page;
}

}  // namespace

Place defaultPlace() {
    const QString name = QStringLiteral("/qorvex/history.sqlite3");
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(data))
        return {QDir::cleanPath(data) + name, {}};
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return {QDir::cleanPath(home) + QStringLiteral("/.local/share") + name, {}};
    const QString account = accountHome();
    if (account.isEmpty())
        return {{},
                QStringLiteral("环境变量 HOME 和 XDG_DATA_HOME 都没有设置，找不到保存学习记录的"
                               "文件夹。练习可以照常进行，但本次的记录只留在内存中，"
                               "退出后不再保留。")};
    const QString path = account + QStringLiteral("/.local/share") + name;
    return {path, QStringLiteral("环境变量 HOME 没有设置，学习记录保存在 %1。").arg(path)};
}

int makePrivateFolder(const QString& folder) {
    QStringList missing;
    for (QString f = QDir::cleanPath(folder); !QFileInfo::exists(f);) {
        missing.prepend(f);
        const QString up = QFileInfo(f).path();
        if (up == f)
            break;
        f = up;
    }
    for (const QString& f : missing) {
        const QByteArray name = QFile::encodeName(f);
        if (::mkdir(name.constData(), 0700) != 0) {
            if (errno != EEXIST)
                return errno;
            continue;
        }
        ::chmod(name.constData(), 0700);  // a umask that takes the owner's bits away
    }
    // Made wider by another part of the program or an older version.
    narrow(QFile::encodeName(QDir::cleanPath(folder)), true);
    return 0;
}

int makePrivateFile(const QString& file) {
    const QByteArray name = QFile::encodeName(file);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno == EEXIST ? 0 : errno;
        ::fchmod(fd, 0600);
        ::close(fd);
        return 0;
    }
    if (S_ISLNK(info.st_mode) && ::stat(name.constData(), &info) != 0)
        return errno;  // a link to nothing: SQLite would make its target
    if (!S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    for (const char* suffix : {"", "-wal", "-shm"}) narrow(name + suffix, false);
    return 0;
}

QString systemReason(int error) {
    switch (error) {
        case ENOSPC:
            return QStringLiteral("磁盘已满");
        case EDQUOT:
            return QStringLiteral("超出了磁盘配额");
        case EROFS:
            return QStringLiteral("磁盘是只读的");
        case EACCES:
        case EPERM:
            return QStringLiteral("没有读写的权限");
        case ENOENT:
            return QStringLiteral("文件夹不存在");
        case ENOTDIR:
            return QStringLiteral("路径中有一个不是文件夹的文件");
        case EIO:
            return QStringLiteral("读写磁盘时出错");
        case EISDIR:
            return QStringLiteral("这是一个文件夹，不是文件");
        case EINVAL:
            return QStringLiteral("这不是普通文件（可能是管道或者设备）");
        case ELOOP:
            return QStringLiteral("符号链接太多，或者指向自己");
        case ENOMEM:
            return QStringLiteral("内存不足");
        default:
            return QStringLiteral("系统错误 %1").arg(error);
    }
}

QString sqliteReason(int code, int systemError) {
    code &= 0xFF;
    if ((code == SQLITE_CANTOPEN || code == SQLITE_IOERR) && systemError != 0)
        return systemReason(systemError);
    switch (code) {
        case SQLITE_FULL:
            return QStringLiteral("磁盘已满");
        case SQLITE_READONLY:
            return QStringLiteral("文件是只读的");
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral("没有权限");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("文件正被另一个程序使用");
        case SQLITE_CORRUPT:
            return QStringLiteral("文件已损坏");
        case SQLITE_NOTADB:
            return QStringLiteral("这不是学习记录文件，或者文件已损坏");
        case SQLITE_CANTOPEN:
            return QStringLiteral("无法打开或者创建这个文件");
        case SQLITE_IOERR:
            return QStringLiteral("读写磁盘时出错");
        case SQLITE_NOMEM:
            return QStringLiteral("内存不足");
        case SQLITE_TOOBIG:
        case SQLITE_NOLFS:
            return QStringLiteral("文件太大");
        case SQLITE_PROTOCOL:
            return QStringLiteral("文件的锁出了问题");
        default:
            return QStringLiteral("数据库错误 %1").arg(code);
    }
}

QString openRegular(QFile& file, const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? QStringLiteral("文件不存在") : systemReason(errno);
    struct stat info {};
    const int error = ::fstat(fd, &info) != 0  ? errno
                      : S_ISDIR(info.st_mode)  ? EISDIR
                      : !S_ISREG(info.st_mode) ? EINVAL
                                               : 0;
    if (error || ::fcntl(fd, F_SETFL, 0) != 0 ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return systemReason(error ? error : EIO);
    }
    return {};
}

QString notRegularForWriting(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};  // a new name (or a link to one), or a folder that is told when writing
    if (S_ISDIR(info.st_mode))
        return systemReason(EISDIR);
    return S_ISREG(info.st_mode) ? QString() : systemReason(EINVAL);
}

namespace Leftovers {

QString write(const QString& history, const QList<Page>& pages) {
    QJsonArray list;
    for (const Page& page : pages) list.append(toJson(page));
    const QByteArray json = QJsonDocument(QJsonObject{
                                              {"history", QFileInfo(history).absoluteFilePath()},
                                              {"pages", list},
                                          })
                                .toJson(QJsonDocument::Compact);
    const QString name =
        QFileInfo(history).fileName() +
        QStringLiteral(".unsaved-%1-%2.json")
            .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")))
            .arg(QCoreApplication::applicationPid());
    for (const QString& folder : {cacheFolder(), QFileInfo(history).absolutePath()}) {
        if (folder.isEmpty() || makePrivateFolder(folder) != 0)
            continue;
        QFile file(folder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            continue;
        const bool written =
            file.write(json) == json.size() && file.flush() && ::fsync(file.handle()) == 0;
        file.close();
        if (written && file.error() == QFileDevice::NoError)
            return file.fileName();
        file.remove();
    }
    return {};
}

QStringList find(const QString& history) {
    QStringList files;
    for (const QString& folder : {cacheFolder(), QFileInfo(history).absolutePath()}) {
        if (folder.isEmpty())
            continue;
        const QDir dir(folder);
        for (const QString& name : dir.entryList({leftoverPattern(history)}, QDir::Files))
            files << QFileInfo(dir.filePath(name)).absoluteFilePath();
    }
    files.removeDuplicates();
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        return QFileInfo(a).fileName() < QFileInfo(b).fileName();
    });
    return files;
}

Read read(const QString& path, const QString& history, QList<Page>& pages) {
    QFile file;
    if (!openRegular(file, path).isEmpty())
        return Read::Damaged;
    // A leftover file holds the pages of one run: a few MiB at most.
    if (file.size() > (qint64(256) << 20))
        return Read::Damaged;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (!root["pages"].isArray() || !root["history"].isString())
        return Read::Damaged;
    if (root["history"].toString() != QFileInfo(history).absoluteFilePath())
        return Read::OtherHistory;
    for (const QJsonValue value : root["pages"].toArray()) {
        const Page page = fromJson(value.toObject());
        if (problemOf(page).isEmpty())
            pages.append(page);
    }
    return Read::Taken;
}

}  // namespace Leftovers

}  // namespace History
