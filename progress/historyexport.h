#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "data/history.h"

// The history as a file of its own, to keep, move to another computer or read in a spreadsheet.
//
// JSON: {"format": "qorvex-history", "pages": [...], "version": 2}; a page is {"amount" (bytes
// or items), "at" (ISO 8601, UTC), "drill" ("text", "root" or "finger"), "errors", "lesson",
// "measures" (null, or a text page's typing counts: {"backspaces", "characters", "committed",
// "erased", "idealKeys", "keys", "selections", "wordCharacters", "wrong"}), "ms", "pageNo",
// "rangeFirst", "rangeSecond", "speedText", "strokes": [{"char", "code" (absent
// when none), "hint" (true when the hint showed, else absent), "ms", "wrong": [what came
// instead], "wrongCount" (only when more wrong attempts were counted than kept)}], "text" (the
// characters typed)}. A root drill item's "char" names its record of the root table as U+E000 +
// record. Version 1 files, which have no amount, errors, page and range numbers, speed text nor
// hints, still import. Exported, imported into an empty history and exported again, a history
// gives the same file.
// CSV: one row per page; a text page's keys, backspaces, erased, word characters, selections and
// ideal keys in its last columns, empty for a page without them.
namespace HistoryExport {

enum class Format { Json, Csv };
// CSV when the name ends in .csv, else JSON.
Format formatOf(const QString& path);

QByteArray json(const QList<History::Page>& pages);
QByteArray csv(const QList<History::Page>& pages);

// What an import did: pages added, and pages left out for what is wrong with them (each named
// "第 N 页：why", the first few only).
struct Merged {
    int added = 0;
    int skipped = 0;
    QStringList reasons;
    // What the pupil reads: how many were added, and how many were skipped and why.
    QString text() const;
};

QList<History::Page> allPages(History::Store& store);
// Writes the store's history to path, aside first and then in the file's place; the history is
// read read-only when it cannot be written. Only a regular file or a new name is written. Raises
// on failure, leaving any file already there as it was.
void write(History::Store& store, const QString& path, Format format);
void write(History::Store& store, const QString& path);
// Merges a JSON export into the store page by page, in one transaction; a page that cannot be
// taken is skipped and named. Nothing changes when the file is malformed, is not a regular file
// or has no page that can be taken. Raises AppError saying what is wrong, in the pupil's words.
Merged merge(History::Store& store, const QString& path);

}  // namespace HistoryExport
