#include "data/tablefile.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

#include "data/cipher.h"
#include "platform/errors.h"
#include "platform/pathrule.h"

// One connection per file on disk: keyed by device and inode, so that two spellings of a path
// share it and a table rebuilt under the same name does not.
struct TableFile::Connection {
    QByteArray fileId;
    sqlite3* db = nullptr;
    QString password;  // the one that opened it; empty for an unkeyed file
    QString table;
    int users = 0;
};

QString findFileIgnoringCase(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

QString quoted(const QString& identifier) {
    return QLatin1Char('"') + QString(identifier).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

namespace {

QHash<QByteArray, TableFile::Connection*>& openConnections() {
    static QHash<QByteArray, TableFile::Connection*> connections;
    return connections;
}

[[noreturn]] void cannotOpen(const QString& file, const QString& reason) {
    throw AppError::lasting(QStringLiteral("无法打开数据表 %1：%2。").arg(file, reason));
}

QString problemOf(sqlite3* db) {
    const QString detail = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    static const QRegularExpression missing(QStringLiteral("^no such (index|column|table): (.+)$"));
    if (const QRegularExpressionMatch m = missing.match(detail); m.hasMatch()) {
        const QString kind = m.captured(1) == QLatin1String("index")    ? QStringLiteral("索引")
                             : m.captured(1) == QLatin1String("column") ? QStringLiteral("字段")
                                                                        : QStringLiteral("表");
        return QStringLiteral("文件中缺少%1 %2，文件已损坏，或者不是本程序的数据表")
            .arg(kind, m.captured(2));
    }
    switch (db ? sqlite3_errcode(db) & 0xff : SQLITE_NOMEM) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral("文件已损坏");
        case SQLITE_IOERR:
            return QStringLiteral("读取时出错，文件不完整，或者磁盘有问题");
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral("无法读取这个文件，请检查它的读取权限");
        case SQLITE_NOMEM:
            return QStringLiteral("内存不足");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("文件正被别的程序占用");
        default:
            return QStringLiteral("文件已损坏，或者不是本程序的数据表（错误代码 %1）")
                .arg(sqlite3_errcode(db));
    }
}

QByteArray fileId(const QString& path) {
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(quint64(info.st_dev)) + ':' +
           QByteArray::number(quint64(info.st_ino));
}

// The most a table's page cache holds: the text and root tables fit whole, the code table keeps
// its indexes and the rows in use.
constexpr qint64 kCacheKiB = 512;

// Opens the file read-only; a file SQLite cannot open ends the open. The program never writes a
// table, and the course builder replaces a table by renaming a new file over it, so an open table
// never changes: SQLite may skip its locks and change checks on every read.
sqlite3* connect(const QString& path) {
    const QByteArray uri = "file:" + QUrl::toPercentEncoding(path, "/") + "?immutable=1";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK) {
        const QString reason = problemOf(db);
        sqlite3_close_v2(db);
        cannotOpen(path, reason);
    }
    const qint64 cacheKiB = qMin(kCacheKiB, QFileInfo(path).size() / 1024 + 1);
    const QByteArray cacheSize = "PRAGMA cache_size = -" + QByteArray::number(cacheKiB);
    sqlite3_exec(db, cacheSize.constData(), nullptr, nullptr, nullptr);
    return db;
}

// A connection that reads the file with this password (empty: unkeyed), or null.
sqlite3* connectWith(const QString& path, const QString& password) {
    sqlite3* db = connect(path);
    if ((password.isEmpty() || Cipher::applyKey(db, password)) && Cipher::canRead(db))
        return db;
    sqlite3_close_v2(db);
    return nullptr;
}

}  // namespace

QString TableFile::problem() const {
    return problemOf(handle());
}

sqlite3* TableFile::handle() const {
    return connection ? connection->db : nullptr;
}

const QString& TableFile::tableName() const {
    static const QString none;
    return connection ? connection->table : none;
}

TableFile::~TableFile() {
    close();
}

void TableFile::close() {
    if (connection && --connection->users == 0) {
        openConnections().remove(connection->fileId);
        sqlite3_close_v2(connection->db);
        delete connection;
    }
    connection = nullptr;
}

void TableFile::open(TSession& session, const QString& directory, const QString& name) {
    close();
    filePath = name;
    const QString folder = PathRule::resolve(directory);
    if (!QFileInfo(folder).isDir())
        cannotOpen(name, QStringLiteral("找不到文件夹 %1").arg(folder));
    const QString path = findFileIgnoringCase(folder, name);
    if (path.isEmpty())
        cannotOpen(name, QStringLiteral("文件夹 %1 中没有这个文件").arg(folder));
    filePath = path;
    const QFileInfo info(path);
    if (info.isDir())
        cannotOpen(path, QStringLiteral("这是一个文件夹，不是数据表文件"));
    // A pipe or a device would be waited on, or read without end.
    if (!info.isFile())
        cannotOpen(path, QStringLiteral("这不是普通文件（可能是管道或者设备）"));
    if (info.size() == 0)
        cannotOpen(path, QStringLiteral("文件是空的（0 字节），已损坏"));

    const QByteArray id = fileId(path);
    Connection* open = openConnections().value(id);
    if (!open)
        open = connectFirst(session, path, id);
    else if (!open->password.isEmpty() && !session.passwords().contains(open->password) &&
             !(session.requestPassword() && session.passwords().contains(open->password)))
        cannotOpen(path, QStringLiteral("密码不对，或者文件已损坏"));
    ++open->users;
    connection = open;
}

// The file's first connection. An unkeyed file opens without a password. A keyed one tries the
// session's passwords; when they fail the handler may add passwords once. A file that still
// refuses ends here rather than asking for ever.
TableFile::Connection* TableFile::connectFirst(TSession& session, const QString& path,
                                               const QByteArray& id) {
    QStringList tried;
    QString password;
    sqlite3* db = nullptr;
    const auto tryPasswords = [&] {
        for (const QString& candidate : session.passwords()) {
            if (tried.contains(candidate))
                continue;
            tried << candidate;
            if ((db = connectWith(path, candidate))) {
                password = candidate;
                return true;
            }
        }
        return false;
    };
    if (Cipher::isPlain(path))
        db = connectWith(path, {});
    else if (!tryPasswords() && session.requestPassword())
        tryPasswords();
    if (!db)
        cannotOpen(path, QStringLiteral("密码不对，或者文件已损坏"));

    QString table;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid", -1,
                       &stmt, nullptr);
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW)
        table = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (table.isEmpty()) {
        sqlite3_close_v2(db);
        cannotOpen(path, QStringLiteral("文件中没有数据表，文件已损坏"));
    }
    auto* connection = new Connection{id, db, password, table};
    if (!id.isEmpty())
        openConnections().insert(id, connection);
    return connection;
}
