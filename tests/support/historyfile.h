#pragma once

#include <QStringList>

#include "data/history.h"

// History files for the history's tests: pages with every kind of stroke detail, the file changed
// from outside (another qorvex, an older version), and what a reader sees of it.
namespace HistoryFile {

// Runs sql on the file through a connection of its own, as another program would; SQLite's code.
int execute(const QString& path, const char* sql);
// The first column of the first row a query gives, -1 when it gives none.
qint64 number(const QString& path, const char* sql);
// Takes a file of this version back to what version 1, 2 or 3 wrote: the tables and columns that
// came later are dropped, the texts kept as they were then. SQLITE_OK when it was done.
int backTo(const QString& path, int version);

// Page n of a drill at UTC ms at, typed from text: times that vary, two wrong attempts every 13th
// stroke, and in the text drill codes of one to four letters (none every 5th) and the hint shown
// for three strokes of every six.
History::Page page(const QString& drill, qint64 at, const QString& text, int n);

// What a reader sees of a file, sorted: every page with its strokes' times and wrong counts, and
// the running totals of met and wrong.
QStringList contents(History::Store& store);
// The same of the details: the strokes' codes, wrong attempts and hints, and the totals of
// confusions and codes typed.
QStringList details(History::Store& store);

}  // namespace HistoryFile
