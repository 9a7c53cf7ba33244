#include "support/historyfile.h"

#include <sqlite3.h>
#include <QFile>

namespace HistoryFile {

namespace {

// From version n + 1 back to n.
constexpr const char* kBack[] = {
    nullptr,
    // 2 -> 1: no running totals
    "DROP TABLE tallies; DROP TABLE times; DROP TABLE summed;",
    // 3 -> 2: no details, nor the tables of theirs
    "DROP TABLE codes; DROP TABLE confusions; DROP TABLE attempts; DROP TABLE derived;"
    "DROP TABLE settings;"
    "CREATE TABLE old(id INTEGER PRIMARY KEY, at INTEGER NOT NULL, drill TEXT NOT NULL,"
    " lesson TEXT NOT NULL, range_first INTEGER NOT NULL, range_second INTEGER NOT NULL,"
    " page_no INTEGER NOT NULL, ms INTEGER NOT NULL, amount INTEGER NOT NULL,"
    " speed_text TEXT NOT NULL, speed REAL NOT NULL, errors INTEGER NOT NULL,"
    " strokes INTEGER REFERENCES texts(id), times BLOB);"
    "INSERT INTO old SELECT id, at, drill, lesson, range_first, range_second, page_no, ms,"
    " amount, speed_text, speed, errors, strokes, times FROM pages;"
    "DROP TABLE pages; ALTER TABLE old RENAME TO pages;"
    "CREATE INDEX pages_by_lesson ON pages(drill, lesson, at);",
    // 4 -> 3: each text also in a unique index, no hash
    "CREATE TABLE old(id INTEGER PRIMARY KEY, body TEXT NOT NULL UNIQUE);"
    "INSERT INTO old SELECT id, body FROM texts; DROP TABLE texts;"
    "ALTER TABLE old RENAME TO texts;"
    "CREATE TABLE old(id INTEGER PRIMARY KEY, body TEXT NOT NULL UNIQUE);"
    "INSERT INTO old SELECT id, body FROM codes; DROP TABLE codes;"
    "ALTER TABLE old RENAME TO codes;",
};

}  // namespace

int execute(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc;
}

qint64 number(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &select, nullptr);
    const qint64 value = sqlite3_step(select) == SQLITE_ROW ? sqlite3_column_int64(select, 0) : -1;
    sqlite3_finalize(select);
    sqlite3_close(db);
    return value;
}

int backTo(const QString& path, int version) {
    int rc = SQLITE_OK;
    for (int v = 3; v >= version && rc == SQLITE_OK; --v) rc = execute(path, kBack[v]);
    const QByteArray mark = "PRAGMA user_version = " + QByteArray::number(version) + ";";
    return rc == SQLITE_OK ? execute(path, mark.constData()) : rc;
}

History::Page page(const QString& drill, qint64 at, const QString& text, int n) {
    History::Page p;
    p.at = QDateTime::fromMSecsSinceEpoch(at, Qt::UTC);
    p.drill = drill;
    p.lesson = QStringLiteral("课程练习[&%1]").arg(n % 7 + 1);
    p.ms = 1000 + n;
    p.speedText = QStringLiteral("每分钟%1个").arg(n % 90);
    for (qsizetype i = 0; i < text.size(); ++i) {
        History::Stroke s{QString(text[i]), quint32(100 + (n * 7 + i) % 900), 0};
        if ((n + i) % 13 == 0) {
            s.wrongs = {QStringLiteral("错"), QStringLiteral("土")};
            s.wrong = 2;
        }
        if (drill == History::kText) {
            s.code = (n + i) % 5 ? QStringLiteral("ghgh").left(1 + (n + i) % 4) : QString();
            s.hinted = (i / 3) % 2;
        }
        p.strokes << s;
    }
    return p;
}

QStringList contents(History::Store& store) {
    QStringList lines;
    for (const History::Page& p : store.pages({}, true)) {
        QString line = p.at.toString(Qt::ISODateWithMs) + p.drill + p.lesson + p.speedText;
        for (const History::Stroke& s : p.strokes)
            line += QStringLiteral(" %1/%2/%3").arg(s.character).arg(s.ms).arg(s.wrong);
        lines << line;
    }
    for (const QString& drill : {History::kText, History::kFinger})
        store.forEachTotal(drill, [&](QStringView c, qint64 met, qint64 wrong) {
            lines << QStringLiteral("total %1 %2 %3 %4").arg(drill, c).arg(met).arg(wrong);
        });
    lines.sort();
    return lines;
}

QStringList details(History::Store& store) {
    QStringList lines;
    for (const History::Page& p : store.pages({}, true)) {
        QString line = p.at.toString(Qt::ISODateWithMs) + p.drill;
        for (const History::Stroke& s : p.strokes)
            line += QStringLiteral(" %1/%2/%3").arg(s.code, s.wrongs.join('+')).arg(s.hinted);
        lines << line;
    }
    for (const QString& drill : {History::kText, History::kFinger})
        store.forEachConfusion(drill, [&](QStringView wanted, QStringView typed, qint64 n) {
            lines << QStringLiteral("confused %1 %2 %3 %4").arg(drill, wanted, typed).arg(n);
        });
    store.forEachCodeAttempt([&](QStringView c, QStringView code, qint64 n) {
        lines << QStringLiteral("coded %1 %2 %3").arg(c, code).arg(n);
    });
    lines.sort();
    return lines;
}

}  // namespace HistoryFile
