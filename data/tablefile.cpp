#include "data/tablefile.h"

#include <sqlite3.h>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "data/cipher.h"
#include "platform/errors.h"
#include "platform/pathrule.h"

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

namespace {

[[noreturn]] void cannotOpen(const QString& file, const QString& reason) {
    throw AppError::lasting(QStringLiteral("无法打开数据表 %1：%2。").arg(file, reason));
}

}  // namespace

QString TableFile::problem() const {
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

TableFile::~TableFile() {
    close();
}

void TableFile::close() {
    if (db)
        sqlite3_close_v2(db);
    db = nullptr;
    table.clear();
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
    if (QFileInfo(path).size() == 0)
        cannotOpen(path, QStringLiteral("文件是空的（0 字节），已损坏"));

    // No password first (a plain file), then the session's list; when that fails the handler may
    // add passwords once. A file that still refuses ends here rather than asking for ever.
    if (!tryPasswords(path, session.passwords()) &&
        !(session.requestPassword() && tryPasswords(path, session.passwords())))
        cannotOpen(path, QStringLiteral("密码不对，或者文件已损坏"));

    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid", -1,
                       &stmt, nullptr);
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW)
        table = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (table.isEmpty()) {
        close();
        cannotOpen(path, QStringLiteral("文件中没有数据表，文件已损坏"));
    }
}

bool TableFile::tryPasswords(const QString& path, const QStringList& passwords) {
    QStringList attempts{QString()};
    attempts += passwords;
    for (const QString& password : attempts) {
        close();
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr) != SQLITE_OK) {
            const QString reason = problem();
            close();
            cannotOpen(path, reason);
        }
        if ((password.isEmpty() || Cipher::applyKey(db, password)) && Cipher::canRead(db))
            return true;
    }
    close();
    return false;
}
