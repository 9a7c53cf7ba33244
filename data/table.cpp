#include "data/table.h"

#include <sqlite3.h>

#include "platform/errors.h"
#include "platform/gbk.h"
#include "platform/pathrule.h"

namespace {
int openTables = 0;
}

int TTable::openCount() {
    return openTables;
}

TTable::TTable(TSession& session, const QString& name) : owner(session), componentName(name) {}

TTable::~TTable() {
    Close();
}

void TTable::Open(const QString& databaseName, const QString& tableName) {
    Close();
    try {
        file.open(owner, databaseName, tableName);
    } catch (const AppError& e) {
        openFailure = e.message();
        throw;
    }
    openFailure.clear();
    ++openTables;
    sqlite3_stmt* info =
        statement(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(file.tableName())));
    while (step(info))
        columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)));
    sqlite3_reset(info);
    First();
}

void TTable::Close() {
    for (sqlite3_stmt* s : std::as_const(statements)) sqlite3_finalize(s);
    statements.clear();
    columns.clear();
    indexColumn.clear();
    rowid = 0;
    if (file.handle())
        --openTables;
    file.close();
}

// A table whose open failed keeps saying why; one whose window stopped before opening it can
// only point at the data directory.
void TTable::requireOpen() const {
    if (Active())
        return;
    if (!openFailure.isEmpty())
        throw AppError::lasting(openFailure);
    throw AppError::lasting(
        QStringLiteral("无法读取数据表：这个窗口启动时没能打开它的数据表，请检查数据文件夹 %1。")
            .arg(PathRule::resolve(QStringLiteral("\\mavro"))));
}

void TTable::fail(const QString& reason) const {
    throw AppError::lasting(QStringLiteral("无法读取数据表 %1：%2。").arg(file.path(), reason));
}

bool TTable::step(sqlite3_stmt* s) const {
    const int result = sqlite3_step(s);
    if (result == SQLITE_ROW || result == SQLITE_DONE)
        return result == SQLITE_ROW;
    sqlite3_reset(s);
    fail(file.problem());
}

sqlite3_stmt* TTable::statement(const QString& sql) {
    if (sqlite3_stmt* cached = statements.value(sql))
        return cached;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(file.handle(), sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK)
        fail(file.problem());
    statements.insert(sql, s);
    return s;
}

qint64 TTable::singleRowid(const QString& sql, qint64 bind) {
    sqlite3_stmt* s = statement(sql);
    if (sqlite3_bind_parameter_count(s) > 0)
        sqlite3_bind_int64(s, 1, bind);
    const qint64 found = step(s) ? sqlite3_column_int64(s, 0) : 0;
    sqlite3_reset(s);
    return found;
}

void TTable::First() {
    requireOpen();
    rowid = singleRowid(QStringLiteral("SELECT min(rowid) FROM %1").arg(quoted(file.tableName())));
}

void TTable::MoveBy(int rows) {
    requireOpen();
    if (rows <= 0)
        return;
    const QString table = quoted(file.tableName());
    sqlite3_stmt* s = statement(
        QStringLiteral("SELECT rowid FROM %1 WHERE rowid > ? ORDER BY rowid LIMIT 1 OFFSET ?")
            .arg(table));
    sqlite3_bind_int64(s, 1, rowid);
    sqlite3_bind_int64(s, 2, rows - 1);
    const bool found = step(s);
    const qint64 next = found ? sqlite3_column_int64(s, 0) : 0;
    sqlite3_reset(s);
    rowid = found ? next : singleRowid(QStringLiteral("SELECT max(rowid) FROM %1").arg(table));
}

int TTable::RecNo() {
    requireOpen();
    return int(singleRowid(
        QStringLiteral("SELECT count(*) FROM %1 WHERE rowid < ?").arg(quoted(file.tableName())),
        rowid));
}

QString TTable::checkedField(const QString& field) const {
    requireOpen();
    for (const QString& c : columns)
        if (c.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    fail(QStringLiteral("文件中缺少字段 %1，文件已损坏，或者不是本程序的数据表").arg(field));
}

sqlite3_stmt* TTable::currentRowField(const QString& field) {
    const QString column = checkedField(field);
    sqlite3_stmt* s = statement(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                    .arg(quoted(column), quoted(file.tableName())));
    sqlite3_bind_int64(s, 1, rowid);
    return s;
}

QString TTable::FieldAsString(const QString& field) {
    sqlite3_stmt* s = currentRowField(field);
    QString text;
    if (step(s) && sqlite3_column_type(s, 0) != SQLITE_NULL)
        text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)),
                                 sqlite3_column_bytes(s, 0));
    sqlite3_reset(s);
    return text;
}

QPixmap TTable::FieldAsPicture(const QString& field) {
    sqlite3_stmt* s = currentRowField(field);
    QImage image;
    if (step(s) && sqlite3_column_type(s, 0) == SQLITE_BLOB)
        image.loadFromData(static_cast<const uchar*>(sqlite3_column_blob(s, 0)),
                           int(sqlite3_column_bytes(s, 0)), "PNG");
    sqlite3_reset(s);
    // A picture of a few shades keeps its byte a pixel, a quarter of a pixmap in the screen's
    // colours, and is converted only when painted: the text drill holds the root pictures of
    // every character it has hinted.
    const bool indexed = image.format() == QImage::Format_Indexed8;
    return QPixmap::fromImage(std::move(image), indexed ? Qt::NoFormatConversion : Qt::AutoColor);
}

void TTable::SetIndexName(const QString& indexName) {
    requireOpen();
    indexColumn.clear();
    sqlite3_stmt* s = statement(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE"));
    const QByteArray name = indexName.toUtf8();
    sqlite3_bind_text(s, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    const QString stored =
        step(s) ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)))
                : QString();
    sqlite3_reset(s);
    if (!stored.isEmpty()) {
        sqlite3_stmt* info = statement(QStringLiteral("PRAGMA index_info(%1)").arg(quoted(stored)));
        if (step(info))
            indexColumn =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 2)));
        sqlite3_reset(info);
    }
    if (indexColumn.isEmpty())
        fail(
            QStringLiteral("文件中缺少索引 %1，文件已损坏，或者不是本程序的数据表").arg(indexName));
}

bool TTable::FindKey(const QByteArray& gbkKey) {
    requireOpen();
    if (indexColumn.isEmpty())
        fail(QStringLiteral("查找前没有选定索引"));
    // Bytes that are not whole GBK characters can match no stored text.
    const QString key = Gbk::decode(gbkKey);
    if (key.contains(QChar::ReplacementCharacter) || Gbk::encode(key) != gbkKey)
        return false;
    sqlite3_stmt* s =
        statement(QStringLiteral("SELECT rowid FROM %1 WHERE %2 = ? ORDER BY rowid LIMIT 1")
                      .arg(quoted(file.tableName()), quoted(indexColumn)));
    const QByteArray utf8 = key.toUtf8();
    sqlite3_bind_text(s, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    const bool found = step(s);
    if (found)
        rowid = sqlite3_column_int64(s, 0);
    sqlite3_reset(s);
    return found;
}
