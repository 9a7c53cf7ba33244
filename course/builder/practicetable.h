#pragma once

#include <QList>
#include <QString>

// The practice text table 111.DB: one practice line per row, rows counted from 1.
namespace PracticeTable {

inline constexpr int kCatalogueRows = 248;

// Source lines are "<row>\t<text>", rows 1, 2, 3 ... in order.
QList<QString> readSource(const QString& path, int expectedRows = kCatalogueRows);
void write(const QString& path, const QList<QString>& rows);

}  // namespace PracticeTable
