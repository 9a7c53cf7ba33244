#include "data/historytexts.h"

#include <sqlite3.h>
#include <QByteArray>
#include <QString>

#include "data/statement.h"

namespace History::Texts {

namespace {

void hashFunction(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    const int size = sqlite3_value_bytes(values[0]);
    sqlite3_result_int64(context, hash(QByteArray::fromRawData(text ? text : "", size)));
}

}  // namespace

qint64 hash(const QByteArray& utf8) {
    quint32 h = 2166136261u;
    for (const char byte : utf8) h = (h ^ quint8(byte)) * 16777619u;
    return qint64(h & 0x7FFFFFFF);
}

int addHashFunction(sqlite3* db) {
    return sqlite3_create_function_v2(db, "text_hash", 1,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY,
                                      nullptr, hashFunction, nullptr, nullptr, nullptr);
}

qint64 keep(Sql::Cache& statements, Table table, const QString& body) {
    const bool strokes = table == Table::Strokes;
    Sql::Statement find(statements, strokes
                                        ? "SELECT id FROM texts WHERE hash = ?1 AND body = ?2;"
                                        : "SELECT id FROM codes WHERE hash = ?1 AND body = ?2;");
    const qint64 h = hash(body.toUtf8());
    if (find.bind(1, h).bind(2, body).row())
        return find.integer(0);
    Sql::Statement insert(statements, strokes ? "INSERT INTO texts(hash, body) VALUES (?1, ?2);"
                                              : "INSERT INTO codes(hash, body) VALUES (?1, ?2);");
    return insert.bind(1, h).bind(2, body).done()
               ? sqlite3_last_insert_rowid(statements.connection())
               : 0;
}

}  // namespace History::Texts
