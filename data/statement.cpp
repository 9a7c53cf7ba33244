#include "data/statement.h"

#include <sqlite3.h>

namespace Sql {

Cache::~Cache() {
    for (sqlite3_stmt* stmt : std::as_const(statements)) sqlite3_finalize(stmt);
}

sqlite3_stmt* Cache::prepared(const char* sql) {
    sqlite3_stmt*& stmt = statements[sql];
    if (!stmt)
        sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    return stmt;
}

Statement::Statement(sqlite3* db, const char* sql) {
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
}

Statement::Statement(Cache& cache, const char* sql) : stmt(cache.prepared(sql)), borrowed(true) {}

Statement::~Statement() {
    if (borrowed)
        reset();
    else
        sqlite3_finalize(stmt);
}

Statement& Statement::bind(int i, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bind(int i, qint64 value) {
    sqlite3_bind_int64(stmt, i, value);
    return *this;
}

Statement& Statement::bind(int i, double value) {
    sqlite3_bind_double(stmt, i, value);
    return *this;
}

Statement& Statement::bindBlob(int i, const QByteArray& bytes) {
    if (bytes.isEmpty())
        sqlite3_bind_null(stmt, i);
    else
        sqlite3_bind_blob(stmt, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

void Statement::reset() {
    if (!stmt)
        return;
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

int Statement::step() {
    return stmt ? sqlite3_step(stmt) : SQLITE_ERROR;
}

bool Statement::row() {
    return step() == SQLITE_ROW;
}

bool Statement::done() {
    return step() == SQLITE_DONE;
}

QString Statement::text(int column) const {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

QByteArray Statement::blob(int column) const {
    return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                      sqlite3_column_bytes(stmt, column));
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(stmt, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(stmt, column);
}

Snapshot::Snapshot(sqlite3* db) : db(db), open(execute(db, "BEGIN;")) {}

Snapshot::~Snapshot() {
    if (open)
        execute(db, "COMMIT;");
}

bool execute(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace Sql
