#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "data/history.h"

// The history as a file of its own, to keep, move to another computer or read in a spreadsheet.
//
// JSON: {"format": "qorvex-history", "version": 1, "pages": [...]}; a page is {"at" (ISO 8601,
// UTC), "drill" ("text", "root" or "finger"), "lesson", "ms", "text" (the characters typed),
// "strokes": [{"char", "ms", "wrong": [what came instead], "code" (absent when none)}]}. A root
// drill item's "char" names its record of the root table as U+E000 + record.
// CSV: one row per page.
namespace HistoryExport {

QByteArray json(const QList<History::Page>& pages);
QByteArray csv(const QList<History::Page>& pages);
// The pages of a JSON export; raises AppError saying what is wrong, in the pupil's words.
QList<History::Page> readJson(const QByteArray& bytes);

QList<History::Page> allPages(History::Store& store);
// Writes the store's history to path: CSV when the name ends in .csv, else JSON. Raises on failure.
void write(History::Store& store, const QString& path);
// Merges a JSON export into the store; nothing changes when the file is malformed. Returns how
// many pages were new.
int merge(History::Store& store, const QString& path);

}  // namespace HistoryExport
