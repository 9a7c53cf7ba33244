#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "data/history.h"

struct sqlite3;

// The tables the store relies on, checked when a file is opened: another program (or a damaged
// disk) may have dropped a table or column, put a view in a table's place, or added a trigger
// that would change the pages behind the store's back. Used by the store only.
namespace History::Schema {

// What is wrong with a file of this version, in the pupil's words; empty when nothing. Tables
// of other names may be there (a later version adds some).
QString problem(sqlite3* db);

// The statement readPageRows takes, reading whatever a file put aside still has: a missing
// column of pages reads as empty, missing texts or codes as no strokes or codes. Empty when the
// file has no pages to read.
QByteArray rescueSelect(sqlite3* db);

// The statement readPageRows takes for a file of this version.
extern const char* const kPageRows;

// Visits the rows of select (with the page number after as ?1) as pages, oldest first; visit
// returns false to stop. Counts and times are held to what a page can hold. SQLITE_DONE when
// every row was read, SQLITE_ROW when visit stopped, else the error.
int readPageRows(sqlite3* db, const char* select, qint64 after,
                 const std::function<bool(qint64 id, const Page& page)>& visit);

}  // namespace History::Schema
