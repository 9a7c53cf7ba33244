#pragma once

#include <QtGlobal>

#include "data/history.h"

struct sqlite3;

// What the history keeps of a page beyond its times: the codes typed, the hint flags and the wrong
// attempts, and their running totals. Used by the store only.
namespace History {
// The last page in the running totals; a file without the mark has its totals read as they stand.
qint64 summedThrough(sqlite3* db);
}  // namespace History

namespace History::DetailRows {

// Takes a file from version 2 to 3: the pages' details and the tables of their totals, the state
// readers derive from the pages and the pupil's settings. Pages and totals already there stay as
// they are: older pages simply have no details.
inline constexpr char kMigration[] =
    "CREATE TABLE codes(id INTEGER PRIMARY KEY, body TEXT NOT NULL UNIQUE);"
    "ALTER TABLE pages ADD COLUMN codes INTEGER;"
    "ALTER TABLE pages ADD COLUMN hints BLOB;"
    "ALTER TABLE pages ADD COLUMN wrongs TEXT;"
    "CREATE TABLE confusions(drill TEXT NOT NULL, wanted TEXT NOT NULL, typed TEXT NOT NULL,"
    " count INTEGER NOT NULL, PRIMARY KEY(drill, wanted, typed)) WITHOUT ROWID;"
    "CREATE TABLE attempts(character TEXT NOT NULL, code TEXT NOT NULL, count INTEGER NOT NULL,"
    " PRIMARY KEY(character, code)) WITHOUT ROWID;"
    "CREATE TABLE derived(name TEXT PRIMARY KEY, through INTEGER NOT NULL, body BLOB)"
    " WITHOUT ROWID;"
    "CREATE TABLE settings(name TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;";

// Adds the details of the drill's pages after page through to the running totals, inside the
// caller's transaction.
bool addTotals(sqlite3* db, const QString& drill, qint64 through);
// Takes a summed page's details back out of the running totals before the page is removed,
// inside the caller's transaction.
bool takeBack(sqlite3* db, qint64 id, const QString& drill);
// After pages were removed: rows brought to nothing go, and so do code texts no page uses; state
// derived from the pages is worked out afresh.
bool tidyAfterRemoval(sqlite3* db);

}  // namespace History::DetailRows
