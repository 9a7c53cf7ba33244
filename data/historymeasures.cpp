#include "data/historymeasures.h"

#include <sqlite3.h>

#include <QFileInfo>

#include "data/history.h"
#include "data/statement.h"

using Sql::Statement;

namespace History::MeasureRows {

int create(sqlite3* db) {
    return sqlite3_exec(db,
                        "CREATE TABLE IF NOT EXISTS measures(page INTEGER PRIMARY KEY,"
                        " characters INTEGER NOT NULL, keys INTEGER NOT NULL,"
                        " backspaces INTEGER NOT NULL, erased INTEGER NOT NULL,"
                        " committed INTEGER NOT NULL, word_characters INTEGER NOT NULL,"
                        " selections INTEGER NOT NULL, wrong INTEGER NOT NULL,"
                        " ideal_keys INTEGER NOT NULL);",
                        nullptr, nullptr, nullptr);
}

bool keep(Sql::Cache& statements, const Measures& m) {
    sqlite3* db = statements.connection();
    if (sqlite3_changes(db) == 0)
        return true;
    const qint64 page = sqlite3_last_insert_rowid(db);
    if (m.isEmpty()) {
        // A removed last page leaves its number free for the next one, and its row behind.
        Statement drop(statements, "DELETE FROM measures WHERE page = ?1;");
        return drop && drop.bindAll(page).done();
    }
    Statement insert(statements,
                     "INSERT OR REPLACE INTO measures VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9,"
                     " ?10);");
    return insert && insert
                         .bindAll(page, m.characters, m.keys, m.backspaces, m.erased, m.committed,
                                  m.wordCharacters, m.selections, m.wrong, m.idealKeys)
                         .done();
}

}  // namespace History::MeasureRows

namespace History {

void Store::forEachMeasured(
    const QString& drill,
    const std::function<void(qint64 at, qint64 ms, const Measures& measures)>& visit) {
    // Read as readPages reads: a file not written yet is not made, and one this run cannot open
    // is not told of again; its pages then come without their measures.
    if (!db && (file.isEmpty() || !QFileInfo::exists(file)))
        return;
    if (!db) {
        quiet = true;
        open();
        quiet = false;
    }
    if (!db)
        return;
    Statement select(db,
                     "SELECT at, ms, characters, keys, backspaces, erased, committed,"
                     " word_characters, selections, wrong, ideal_keys FROM measures"
                     " JOIN pages ON pages.id = measures.page WHERE drill = ?1 ORDER BY at;");
    if (!select)
        return;
    select.bind(1, drill);
    while (select.row()) {
        Measures m;
        int column = 2;
        for (int* field : {&m.characters, &m.keys, &m.backspaces, &m.erased, &m.committed,
                           &m.wordCharacters, &m.selections, &m.wrong, &m.idealKeys})
            *field = int(select.integer(column++));
        visit(select.integer(0), select.integer(1), m);
    }
}

}  // namespace History
