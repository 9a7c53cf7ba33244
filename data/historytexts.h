#pragma once

#include <QtGlobal>

class QByteArray;
class QString;
struct sqlite3;
namespace Sql {
class Cache;
}

// The texts a page refers to, each kept once: the characters typed (table texts) and the codes
// typed for them (table codes). A lesson retyped refers to the text already there. A text is
// found by a hash of it, so that the file holds each text once and not a second time in an index.
namespace History::Texts {

enum class Table { Strokes, Codes };

// Takes a file from version 3 to 4: both tables rebuilt with the hash and without the index that
// held every text again. Ids stay as they were, so the pages' references stay valid.
inline constexpr char kMigration[] =
    "CREATE TABLE texts_new(id INTEGER PRIMARY KEY, hash INTEGER NOT NULL, body TEXT NOT NULL);"
    "INSERT INTO texts_new SELECT id, text_hash(body), body FROM texts ORDER BY id;"
    "DROP TABLE texts; ALTER TABLE texts_new RENAME TO texts;"
    "CREATE INDEX texts_by_hash ON texts(hash);"
    "CREATE TABLE codes_new(id INTEGER PRIMARY KEY, hash INTEGER NOT NULL, body TEXT NOT NULL);"
    "INSERT INTO codes_new SELECT id, text_hash(body), body FROM codes ORDER BY id;"
    "DROP TABLE codes; ALTER TABLE codes_new RENAME TO codes;"
    "CREATE INDEX codes_by_hash ON codes(hash);";

// 31 bits of FNV-1a over the UTF-8 bytes: four bytes in the file, and the same on every machine.
qint64 hash(const QByteArray& utf8);
// Makes text_hash(body) known to SQL on this connection, for the migration.
int addHashFunction(sqlite3* db);
// The id of body in table, added when it is not there yet; 0 when the file could not take it.
qint64 keep(Sql::Cache& statements, Table table, const QString& body);

}  // namespace History::Texts
