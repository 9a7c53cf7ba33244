#include "data/tablefile.h"

#include <sqlite3.h>
#include <QDir>
#include <QFileInfo>

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
    shownName = name;
    const QString folder = PathRule::resolve(directory);
    if (!QFileInfo(folder).isDir())
        throw AppError(QStringLiteral("无法打开数据表 %1：找不到文件夹 %2。").arg(name, folder));
    const QString path = findFileIgnoringCase(folder, name);
    if (path.isEmpty())
        throw AppError(
            QStringLiteral("无法打开数据表 %1：文件夹 %2 中没有这个文件。").arg(name, folder));

    // No password first (a plain file), then the session's list; when that fails the handler may
    // add passwords once. A file that still refuses ends here rather than asking for ever.
    if (!tryPasswords(path, session.passwords()) &&
        !(session.requestPassword() && tryPasswords(path, session.passwords())))
        throw AppError(QStringLiteral("无法打开数据表 %1：密码不对，或者文件已损坏。").arg(path));

    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid", -1,
                       &stmt, nullptr);
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW)
        table = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (table.isEmpty()) {
        close();
        throw AppError(QStringLiteral("无法打开数据表 %1：文件中没有数据表。").arg(path));
    }
}

bool TableFile::tryPasswords(const QString& path, const QStringList& passwords) {
    QStringList attempts{QString()};
    attempts += passwords;
    for (const QString& password : attempts) {
        close();
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr) != SQLITE_OK) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db));
            close();
            throw AppError(QStringLiteral("无法打开数据表 %1：%2").arg(path, message));
        }
        if ((password.isEmpty() || Cipher::applyKey(db, password)) && Cipher::canRead(db))
            return true;
    }
    close();
    return false;
}
