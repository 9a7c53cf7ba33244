#include "support/damage.h"

#include <sqlite3.h>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include "data/cipher.h"
#include "data/session.h"

namespace Damage {

namespace {

QString quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

// Column `at` of every row the statement gives.
QStringList column(sqlite3* db, const QString& sql, int at = 0) {
    QStringList values;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr);
    while (s && sqlite3_step(s) == SQLITE_ROW)
        values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, at)));
    sqlite3_finalize(s);
    return values;
}

bool exec(sqlite3* db, const QString& sql) {
    return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The engine of this build cannot drop a column: the table is copied without it, and the indexes
// that do not use it are made again.
bool dropColumn(sqlite3* db, const QString& name) {
    const QString table =
        column(db, "SELECT name FROM sqlite_master WHERE type = 'table'").value(0);
    QStringList kept;
    for (const QString& c :
         column(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)), 1))
        if (c != name)
            kept << quoted(c);
    const QStringList indexes = column(
        db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' AND sql NOT NULL"));
    bool ok = exec(db, QStringLiteral("ALTER TABLE %1 RENAME TO old").arg(quoted(table))) &&
              exec(db, QStringLiteral("CREATE TABLE %1 AS SELECT %2 FROM old")
                           .arg(quoted(table), kept.join(", "))) &&
              exec(db, "DROP TABLE old");
    for (const QString& index : indexes)
        if (!index.contains(quoted(name)))
            ok = ok && exec(db, index);
    return ok;
}

bool alterInside(const QString& path, Kind kind, const QString& name) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
              Cipher::applyKey(db, kTablePassword) && Cipher::canRead(db);
    if (ok && kind == Kind::Rekeyed)
        ok = exec(db, "PRAGMA rekey = 'not-the-password'");
    if (ok && kind == Kind::MissingIndex)
        ok = exec(db, QStringLiteral("DROP INDEX %1").arg(quoted(name)));
    if (ok && kind == Kind::MissingColumn)
        ok = dropColumn(db, name);
    sqlite3_close(db);
    return ok;
}

}  // namespace

bool table(const QString& path, Kind kind, const QString& name) {
    QFile file(path);
    switch (kind) {
        case Kind::Truncated:
            return file.resize(file.size() / 2);
        case Kind::Empty:
            return file.resize(0);
        case Kind::RandomBytes: {
            // The first page stays, so the file still opens and the damage shows when it is read.
            const qint64 firstPage = 1024;
            QByteArray noise(int(file.size() - firstPage), Qt::Uninitialized);
            for (char& byte : noise) byte = char(QRandomGenerator::global()->generate());
            return file.open(QIODevice::ReadWrite) && file.seek(firstPage) &&
                   file.write(noise) == noise.size();
        }
        default:
            return alterInside(path, kind, name);
    }
}

}  // namespace Damage
