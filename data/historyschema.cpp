#include "data/historyschema.h"

#include <sqlite3.h>
#include <QStringList>

#include "data/statement.h"

namespace History::Schema {

namespace {

using Sql::Statement;

struct Table {
    const char* name;
    QStringList columns;
};

const Table kTables[] = {
    {"texts", {"id", "hash", "body"}},
    {"codes", {"id", "hash", "body"}},
    {"pages",
     {"id", "at", "drill", "lesson", "range_first", "range_second", "page_no", "ms", "amount",
      "speed_text", "speed", "errors", "strokes", "times", "codes", "hints", "wrongs"}},
    {"tallies", {"drill", "character", "met", "wrong"}},
    {"times", {"drill", "character", "ms", "count"}},
    {"summed", {"through"}},
    {"confusions", {"drill", "wanted", "typed", "count"}},
    {"attempts", {"character", "code", "count"}},
    {"derived", {"name", "through", "body"}},
    {"settings", {"name", "value"}},
};

QStringList columnsOf(sqlite3* db, const char* table) {
    QStringList columns;
    Statement select(db, "SELECT name FROM pragma_table_info(?1);");
    select.bind(1, QString::fromLatin1(table));
    while (select.row()) columns << select.text(0);
    return columns;
}

}  // namespace

const char* const kPageRows =
    "SELECT pages.id, at, drill, lesson, range_first, range_second, page_no, ms, amount,"
    " speed_text, errors, texts.body, times, codes.body, hints, wrongs"
    " FROM pages LEFT JOIN texts ON texts.id = pages.strokes"
    " LEFT JOIN codes ON codes.id = pages.codes WHERE pages.id > ?1 ORDER BY at, pages.id;";

QString problem(sqlite3* db) {
    Statement select(db, "SELECT type, name FROM sqlite_master WHERE type IN ('trigger', 'view');");
    if (select.row())
        return QStringLiteral("其中有别的程序加进去的%1 %2")
            .arg(select.text(0) == QLatin1String("view") ? QStringLiteral("视图")
                                                         : QStringLiteral("触发器"),
                 select.text(1));
    for (const Table& table : kTables) {
        Statement type(db, "SELECT type FROM sqlite_master WHERE name = ?1;");
        type.bind(1, QString::fromLatin1(table.name));
        if (!type.row() || type.text(0) != QLatin1String("table"))
            return QStringLiteral("缺少表 %1").arg(QLatin1String(table.name));
        const QStringList present = columnsOf(db, table.name);
        for (const QString& column : table.columns)
            if (!present.contains(column))
                return QStringLiteral("表 %1 缺少列 %2").arg(QLatin1String(table.name), column);
    }
    return {};
}

QByteArray rescueSelect(sqlite3* db) {
    const QStringList pages = columnsOf(db, "pages");
    if (!pages.contains(QLatin1String("at")))
        return {};
    const auto column = [&](const char* name, const char* otherwise) {
        return pages.contains(QLatin1String(name)) ? QByteArray("pages.") + name
                                                   : QByteArray(otherwise);
    };
    const auto body = [&](const char* table, const char* reference) {
        return columnsOf(db, table).contains(QLatin1String("body")) &&
               pages.contains(QLatin1String(reference));
    };
    const bool texts = body("texts", "strokes"), codes = body("codes", "codes");
    return "SELECT " + column("id", "0") + ", pages.at, " + column("drill", "''") + ", " +
           column("lesson", "''") + ", " + column("range_first", "0") + ", " +
           column("range_second", "0") + ", " + column("page_no", "0") + ", " + column("ms", "0") +
           ", " + column("amount", "0") + ", " + column("speed_text", "''") + ", " +
           column("errors", "0") + ", " +
           (texts ? "texts.body, " + column("times", "NULL") : "NULL, NULL") + ", " +
           (codes ? "codes.body" : "NULL") + ", " + column("hints", "NULL") + ", " +
           column("wrongs", "NULL") + " FROM pages" +
           (texts ? " LEFT JOIN texts ON texts.id = pages.strokes" : "") +
           (codes ? " LEFT JOIN codes ON codes.id = pages.codes" : "") +
           " WHERE ?1 >= 0 ORDER BY pages.at;";
}

int readPageRows(sqlite3* db, const char* sql, qint64 after,
                 const std::function<bool(qint64, const Page&)>& visit) {
    Statement select(db, sql);
    if (!select)
        return sqlite3_errcode(db);
    select.bind(1, after);
    int rc;
    while ((rc = sqlite3_step(*select)) == SQLITE_ROW) {
        Page page;
        page.at = QDateTime::fromMSecsSinceEpoch(select.integer(1), Qt::UTC);
        page.drill = select.text(2);
        page.lesson = select.text(3);
        page.rangeFirst = int(bounded(select.integer(4), kMostCount));
        page.rangeSecond = int(bounded(select.integer(5), kMostCount));
        page.pageNo = int(bounded(select.integer(6), kMostCount));
        page.ms = bounded(select.integer(7), kLongestMs);
        page.amount = int(bounded(select.integer(8), kMostCount));
        page.speedText = select.text(9);
        page.errors = int(bounded(select.integer(10), kMostCount));
        page.strokes = unpack(select.text(11), select.blob(12));
        unpackDetails(page.strokes, {select.text(13), select.blob(14), select.text(15)});
        if (!visit(select.integer(0), page))
            return SQLITE_ROW;
    }
    return rc;
}

}  // namespace History::Schema
