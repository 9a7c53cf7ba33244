#include "data/history.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <iterator>
#include <limits>

#include "data/historydetails.h"
#include "platform/errors.h"

namespace History {

namespace {

constexpr int kVersion = 3;

// Each step takes the file from version n to n + 1; a file of version 0 is empty.
const char* const kMigrations[] = {
    // 0 -> 1
    "CREATE TABLE texts(id INTEGER PRIMARY KEY, body TEXT NOT NULL UNIQUE);"
    "CREATE TABLE pages(id INTEGER PRIMARY KEY, at INTEGER NOT NULL, drill TEXT NOT NULL,"
    " lesson TEXT NOT NULL, range_first INTEGER NOT NULL, range_second INTEGER NOT NULL,"
    " page_no INTEGER NOT NULL, ms INTEGER NOT NULL, amount INTEGER NOT NULL,"
    " speed_text TEXT NOT NULL, speed REAL NOT NULL, errors INTEGER NOT NULL,"
    " strokes INTEGER REFERENCES texts(id), times BLOB);"
    "CREATE INDEX pages_by_lesson ON pages(drill, lesson, at);",
    // 1 -> 2: the running totals of every page up to summed.through; the pages already there are
    // summed at the first sumUp
    "CREATE TABLE tallies(drill TEXT NOT NULL, character TEXT NOT NULL, met INTEGER NOT NULL,"
    " wrong INTEGER NOT NULL, PRIMARY KEY(drill, character)) WITHOUT ROWID;"
    "CREATE TABLE times(drill TEXT NOT NULL, character TEXT NOT NULL, ms INTEGER NOT NULL,"
    " count INTEGER NOT NULL, PRIMARY KEY(drill, character, ms)) WITHOUT ROWID;"
    "CREATE TABLE summed(through INTEGER NOT NULL);"
    "INSERT INTO summed VALUES (0);",
    // 2 -> 3
    DetailRows::kMigration,
};
static_assert(std::size(kMigrations) == kVersion);

std::function<void(const QString&)>& messageSink() {
    static std::function<void(const QString&)> sink;
    return sink;
}

void putVarint(QByteArray& out, quint64 value) {
    while (value >= 0x80) {
        out.append(char(0x80 | (value & 0x7F)));
        value >>= 7;
    }
    out.append(char(value));
}

bool getVarint(const QByteArray& in, qsizetype& pos, quint64& value) {
    value = 0;
    for (int shift = 0; pos < in.size() && shift < 64; shift += 7) {
        const auto byte = quint8(in[pos++]);
        value |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// Walks strokes packed by packTimes: visit(character, ms, wrong) for each character that still
// has its times.
template <typename Visit>
void forEachPackedStroke(const QString& characters, const QByteArray& times, Visit&& visit) {
    qsizetype pos = 0;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const qsizetype n = characters[i].isHighSurrogate() && i + 1 < characters.size() ? 2 : 1;
        quint64 packed = 0, wrong = 0;
        if (!getVarint(times, pos, packed))
            break;
        wrong = packed & 3;
        if (wrong == 3 && !getVarint(times, pos, wrong))
            break;
        visit(QStringView(characters).mid(i, n), quint32(packed >> 2), quint32(wrong));
        i += n - 1;
    }
}

// A statement that finalizes itself.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr); }
    ~Statement() { sqlite3_finalize(stmt); }
    sqlite3_stmt* operator*() const { return stmt; }
    explicit operator bool() const { return stmt != nullptr; }
    void bind(int i, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, qint64 value) { sqlite3_bind_int64(stmt, i, value); }
    template <typename... Values>
    void bindAll(const Values&... values) {
        sqlite3_reset(stmt);
        int i = 0;
        (bind(++i, values), ...);
    }
    QString text(int column) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                 sqlite3_column_bytes(stmt, column));
    }
    QByteArray blob(int column) const {
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                          sqlite3_column_bytes(stmt, column));
    }

  private:
    sqlite3_stmt* stmt = nullptr;
};

// Adds to a row of running totals, making the row when it is not there yet. The update comes
// first: after the first few pages nearly every row exists.
class Adder {
  public:
    Adder(sqlite3* db, const char* update, const char* insert)
        : db(db), update(db, update), insert(db, insert) {}
    template <typename... Values>
    bool add(const Values&... values) {
        if (!update || !insert)
            return false;
        update.bindAll(values...);
        if (sqlite3_step(*update) != SQLITE_DONE)
            return false;
        if (sqlite3_changes(db) > 0)
            return true;
        insert.bindAll(values...);
        return sqlite3_step(*insert) == SQLITE_DONE;
    }

  private:
    sqlite3* db;
    Statement update, insert;
};

// Strokes of one drill summed up, to be added to the running totals in one go.
struct Totals {
    struct Counts {
        qint64 met = 0;
        qint64 wrong = 0;
    };
    QHash<QString, Counts> characters;
    QHash<QPair<QString, quint32>, qint64> times;

    void add(QStringView character, quint32 ms, quint32 wrong, bool firstOfPage) {
        const QString c = character.toString();
        Counts& counts = characters[c];
        ++counts.met;
        counts.wrong += wrong;
        if (!firstOfPage)
            ++times[{c, tallyTime(ms)}];
    }

    bool addTo(sqlite3* db, const QString& drill) const {
        Adder tally(db,
                    "UPDATE tallies SET met = met + ?3, wrong = wrong + ?4"
                    " WHERE drill = ?1 AND character = ?2;",
                    "INSERT INTO tallies(drill, character, met, wrong) VALUES (?1, ?2, ?3, ?4);");
        for (auto it = characters.cbegin(); it != characters.cend(); ++it)
            if (!tally.add(drill, it.key(), it->met, it->wrong))
                return false;
        Adder time(db,
                   "UPDATE times SET count = count + ?4"
                   " WHERE drill = ?1 AND character = ?2 AND ms = ?3;",
                   "INSERT INTO times(drill, character, ms, count) VALUES (?1, ?2, ?3, ?4);");
        for (auto it = times.cbegin(); it != times.cend(); ++it)
            if (!time.add(drill, it.key().first, qint64(it.key().second), it.value()))
                return false;
        return true;
    }
};

// Visits the strokes of every page of a drill after page id after; SQLITE_DONE when all were read.
// The pages are found by id ("+drill" keeps the lesson index out), so that reading the few pages
// not summed up yet does not walk every page of the drill.
int readStrokes(sqlite3* db, const QString& drill, qint64 after,
                const std::function<void(QStringView, quint32, quint32, bool)>& visit) {
    Statement select(db,
                     "SELECT texts.body, times FROM pages JOIN texts ON texts.id = pages.strokes"
                     " WHERE pages.id > ?2 AND +drill = ?1;");
    if (!select)
        return sqlite3_errcode(db);
    select.bind(1, drill);
    select.bind(2, after);
    int rc;
    while ((rc = sqlite3_step(*select)) == SQLITE_ROW) {
        bool first = true;
        forEachPackedStroke(select.text(0), select.blob(1),
                            [&](QStringView character, quint32 ms, quint32 wrong) {
                                visit(character, ms, wrong, first);
                                first = false;
                            });
    }
    return rc;
}

qint64 lastPage(sqlite3* db) {
    Statement select(db, "SELECT max(id) FROM pages;");
    return select && sqlite3_step(*select) == SQLITE_ROW ? sqlite3_column_int64(*select, 0) : 0;
}

// Pages left unsummed are read from their strokes with the totals, which is cheap for a day's
// pages; a longer run of them (a program killed day after day) is summed up when read.
constexpr qint64 kLongUnsummed = 200;

// One snapshot of the file for the totals and the pages after them, so that another qorvex
// summing up meanwhile cannot make a page count twice or not at all.
class ReadTransaction {
  public:
    explicit ReadTransaction(sqlite3* db) : db(db) {
        open = sqlite3_exec(db, "BEGIN;", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~ReadTransaction() {
        if (open)
            sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    }

  private:
    sqlite3* db;
    bool open;
};

// The last page in the totals; a file without the mark has its totals read as they stand.
qint64 summedThrough(sqlite3* db) {
    Statement select(db, "SELECT through FROM summed;");
    return select && sqlite3_step(*select) == SQLITE_ROW ? sqlite3_column_int64(*select, 0)
                                                         : std::numeric_limits<qint64>::max();
}

bool isBroken(int code) {
    code &= 0xFF;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

bool isLocked(int code) {
    code &= 0xFF;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

}  // namespace

quint32 tallyTime(quint32 ms) {
    const quint64 rounded = (quint64(ms) + kTallyUnitMs / 2) / kTallyUnitMs * kTallyUnitMs;
    return quint32(
        qMin<quint64>(rounded, std::numeric_limits<quint32>::max() / kTallyUnitMs * kTallyUnitMs));
}

double speedValue(const QString& speedText) {
    qsizetype start = 0;
    while (start < speedText.size() && !speedText[start].isDigit()) ++start;
    qsizetype end = start;
    while (end < speedText.size() && (speedText[end].isDigit() || speedText[end] == '.')) ++end;
    return speedText.mid(start, end - start).toDouble();
}

// Times are small (most strokes take well under four seconds) and wrong counts mostly 0: one
// varint of (ms << 2 | min(wrong, 3)), and the wrong count again when it is 3 or more.
QByteArray packTimes(const QList<Stroke>& strokes) {
    QByteArray out;
    out.reserve(strokes.size() * 2);
    for (const Stroke& s : strokes) {
        putVarint(out, (quint64(s.ms) << 2) | qMin<quint32>(s.wrong, 3));
        if (s.wrong >= 3)
            putVarint(out, s.wrong);
    }
    return out;
}

QList<Stroke> unpack(const QString& characters, const QByteArray& times) {
    QList<Stroke> strokes;
    forEachPackedStroke(characters, times, [&](QStringView character, quint32 ms, quint32 wrong) {
        strokes.append({character.toString(), ms, wrong});
    });
    return strokes;
}

Store& Store::instance() {
    static Store store(defaultPath());
    return store;
}

QString Store::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/qorvex/history.sqlite3");
}

void Store::setMessageSink(std::function<void(const QString&)> sink) {
    messageSink() = std::move(sink);
}

Store::Store(QString path) : file(std::move(path)) {}

Store::~Store() {
    finish();
}

void Store::finish() {
    if (db || !pending.isEmpty()) {
        if (!pending.isEmpty() && open())
            writePending();
        sumUp();
    }
    close();
}

void Store::tell(Problem problem, const QString& message) {
    if (told.contains(problem))
        return;
    told.insert(problem);
    if (messageSink())
        messageSink()(message);
    else
        Errors::report(message);
}

void Store::tellLocked() {
    tell(Problem::Locked,
         QStringLiteral("学习记录文件 %1 正被另一个 qorvex 使用，本次练习的记录先保存在内存中，"
                        "稍后再写入。")
             .arg(file));
}

void Store::close() {
    if (db)
        sqlite3_close_v2(db);
    db = nullptr;
}

bool Store::open() {
    if (db)
        return true;
    if (gaveUp)
        return false;
    QDir().mkpath(QFileInfo(file).absolutePath());
    for (int attempt = 0; attempt < 2; ++attempt) {
        int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        // A file the pupil may not write is not touched at all, not even read (which would make
        // SQLite add its journal files beside it).
        if (rc == SQLITE_OK && sqlite3_db_readonly(db, "main") == 1)
            rc = SQLITE_READONLY;
        if (rc == SQLITE_OK) {
            // Another qorvex writing its page holds the lock for a moment only.
            sqlite3_busy_timeout(db, 100);
            rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
        }
        if (rc == SQLITE_OK)
            // The journal is folded into the file when the store closes, not while a page is
            // being finished.
            rc = sqlite3_exec(db,
                              "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
                              " PRAGMA wal_autocheckpoint = 0;",
                              nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK && migrate())
            return true;
        const QString reason = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        close();
        if (gaveUp)
            return false;
        if (isBroken(rc) && attempt == 0) {
            renameAside();
            continue;
        }
        if (rc == SQLITE_READONLY)
            tell(
                Problem::Unusable,
                QStringLiteral("学习记录文件 %1 是只读的。练习可以照常进行，但本次的记录不能保存。")
                    .arg(file));
        else if (isLocked(rc))
            tellLocked();
        else
            tell(Problem::Unusable,
                 QStringLiteral(
                     "无法打开学习记录文件 %1（%2）。练习可以照常进行，但本次的记录不能保存。")
                     .arg(file, reason));
        return false;
    }
    return false;
}

bool Store::migrate() {
    int version = -1;
    {
        Statement read(db, "PRAGMA user_version;");
        if (read && sqlite3_step(*read) == SQLITE_ROW)
            version = sqlite3_column_int(*read, 0);
    }
    if (version == kVersion)
        return true;
    if (version < 0)
        return false;
    if (version > kVersion) {
        gaveUp = true;
        tell(Problem::Unusable,
             QStringLiteral(
                 "学习记录文件 %1 由更新版本的 qorvex 写成，本程序不改动它，本次的记录不能保存。")
                 .arg(file));
        return false;
    }
    if (sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    for (int v = version; v < kVersion; ++v) {
        if (sqlite3_exec(db, kMigrations[v], nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
            return false;
        }
    }
    const QByteArray setVersion = "PRAGMA user_version = " + QByteArray::number(kVersion) + ";";
    if (sqlite3_exec(db, setVersion.constData(), nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

// The broken file and its journal keep their contents under a new name beside the new file.
void Store::renameAside() {
    const QString stem = file + QStringLiteral(".broken-") +
                         QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n) aside = stem + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(file, aside)) {
        gaveUp = true;
        tell(Problem::Broken,
             QStringLiteral(
                 "学习记录文件 %1 已损坏，也无法改名。练习可以照常进行，但本次的记录不能保存。")
                 .arg(file));
        return;
    }
    for (const char* suffix : {"-wal", "-shm"})
        if (QFileInfo::exists(file + QLatin1String(suffix)))
            QFile::rename(file + QLatin1String(suffix), aside + QLatin1String(suffix));
    tell(Problem::Broken,
         QStringLiteral("学习记录文件已损坏，已改名为 %1 保存，新的记录写入新文件。").arg(aside));
}

bool Store::record(const Page& page) {
    pending.append(page);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!open())
            return false;
        if (writePending())
            return true;
        const int rc = sqlite3_errcode(db);
        close();
        if (!isBroken(rc))
            break;
        renameAside();
    }
    return false;
}

bool Store::writePending() {
    if (sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        if (isLocked(sqlite3_errcode(db)))
            tellLocked();
        return false;
    }
    for (const Page& page : pending) {
        if (!writeOne(page)) {
            const int rc = sqlite3_errcode(db);
            sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
            if (!isBroken(rc))
                tell(Problem::Unusable,
                     QStringLiteral("无法写入学习记录文件 %1（%2）。练习可以照常进行。")
                         .arg(file, QString::fromUtf8(sqlite3_errstr(rc))));
            return false;
        }
    }
    if (sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
        return false;
    }
    pending.clear();
    return true;
}

bool Store::writeOne(const Page& page) {
    qint64 textId = 0;
    if (!page.strokes.isEmpty()) {
        QString characters;
        for (const Stroke& s : page.strokes) characters += s.character;
        Statement insert(db, "INSERT OR IGNORE INTO texts(body) VALUES (?1);");
        insert.bind(1, characters);
        if (!insert || sqlite3_step(*insert) != SQLITE_DONE)
            return false;
        Statement find(db, "SELECT id FROM texts WHERE body = ?1;");
        find.bind(1, characters);
        if (!find || sqlite3_step(*find) != SQLITE_ROW)
            return false;
        textId = sqlite3_column_int64(*find, 0);
    }
    Statement insert(db,
                     "INSERT INTO pages(at, drill, lesson, range_first, range_second, page_no, ms,"
                     " amount, speed_text, speed, errors, strokes, times)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13);");
    if (!insert)
        return false;
    insert.bind(1, page.at.toMSecsSinceEpoch());
    insert.bind(2, page.drill);
    insert.bind(3, page.lesson);
    insert.bind(4, page.rangeFirst);
    insert.bind(5, page.rangeSecond);
    insert.bind(6, page.pageNo);
    insert.bind(7, page.ms);
    insert.bind(8, page.amount);
    insert.bind(9, page.speedText);
    sqlite3_bind_double(*insert, 10, speedValue(page.speedText));
    insert.bind(11, page.errors);
    if (textId) {
        insert.bind(12, textId);
        const QByteArray times = packTimes(page.strokes);
        sqlite3_bind_blob(*insert, 13, times.constData(), int(times.size()), SQLITE_TRANSIENT);
    }
    return sqlite3_step(*insert) == SQLITE_DONE &&
           DetailRows::write(db, sqlite3_last_insert_rowid(db), page);
}

QList<Page> Store::pages(const QString& drill, bool withStrokes) {
    QList<Page> result;
    if (!open())
        return result;
    Statement select(db,
                     "SELECT at, drill, lesson, range_first, range_second, page_no, ms, amount,"
                     " speed_text, errors, texts.body, times,"
                     " (SELECT body FROM codes WHERE id = pages.codes), hints, wrongs FROM pages"
                     " LEFT JOIN texts ON texts.id = pages.strokes"
                     " WHERE ?1 = '' OR drill = ?1 ORDER BY at, pages.id;");
    select.bind(1, drill);
    while (select && sqlite3_step(*select) == SQLITE_ROW) {
        Page page;
        page.at = QDateTime::fromMSecsSinceEpoch(sqlite3_column_int64(*select, 0), Qt::UTC);
        page.drill = select.text(1);
        page.lesson = select.text(2);
        page.rangeFirst = sqlite3_column_int(*select, 3);
        page.rangeSecond = sqlite3_column_int(*select, 4);
        page.pageNo = sqlite3_column_int(*select, 5);
        page.ms = sqlite3_column_int64(*select, 6);
        page.amount = sqlite3_column_int(*select, 7);
        page.speedText = select.text(8);
        page.errors = sqlite3_column_int(*select, 9);
        if (withStrokes) {
            page.strokes = unpack(select.text(10), select.blob(11));
            unpackDetails(page.strokes, {select.text(12), select.blob(13), select.text(14)});
        }
        result.append(page);
    }
    return result;
}

QList<QPair<qint64, double>> Store::speeds(const QString& drill, const QString& lesson) {
    QList<QPair<qint64, double>> result;
    if (!open())
        return result;
    Statement select(db,
                     "SELECT at, speed FROM pages WHERE drill = ?1 AND lesson = ?2 ORDER BY at;");
    select.bind(1, drill);
    select.bind(2, lesson);
    while (select && sqlite3_step(*select) == SQLITE_ROW)
        result.append({sqlite3_column_int64(*select, 0), sqlite3_column_double(*select, 1)});
    return result;
}

QList<QPair<QString, QString>> Store::lessons() {
    QList<QPair<QString, QString>> result;
    if (!open())
        return result;
    Statement select(db,
                     "SELECT drill, lesson FROM pages GROUP BY drill, lesson"
                     " ORDER BY drill, min(id);");
    while (select && sqlite3_step(*select) == SQLITE_ROW)
        result.append({select.text(0), select.text(1)});
    return result;
}

void Store::forEachStroke(const QString& drill,
                          const std::function<void(QStringView, quint32, quint32, bool)>& visit) {
    if (open())
        readStrokes(db, drill, 0, visit);
}

void Store::forEachTotal(const QString& drill,
                         const std::function<void(QStringView, qint64, qint64)>& visit) {
    if (!open())
        return;
    sumUpLongRun();
    const ReadTransaction snapshot(db);
    Statement select(db, "SELECT character, met, wrong FROM tallies WHERE drill = ?1;");
    select.bind(1, drill);
    while (select && sqlite3_step(*select) == SQLITE_ROW)
        visit(select.text(0), sqlite3_column_int64(*select, 1), sqlite3_column_int64(*select, 2));
    readStrokes(db, drill, summedThrough(db),
                [&](QStringView c, quint32, quint32 wrong, bool) { visit(c, 1, wrong); });
}

void Store::forEachTime(const QString& drill, const QStringList& characters,
                        const std::function<void(QStringView, quint32, qint64)>& visit) {
    if (characters.isEmpty() || !open())
        return;
    sumUpLongRun();
    const ReadTransaction snapshot(db);
    Statement select(db, "SELECT ms, count FROM times WHERE drill = ?1 AND character = ?2;");
    for (const QString& c : characters) {
        select.bindAll(drill, c);
        while (select && sqlite3_step(*select) == SQLITE_ROW)
            visit(c, quint32(sqlite3_column_int64(*select, 0)), sqlite3_column_int64(*select, 1));
    }
    const QSet<QString> wanted(characters.cbegin(), characters.cend());
    readStrokes(db, drill, summedThrough(db), [&](QStringView c, quint32 ms, quint32, bool first) {
        if (!first && wanted.contains(c.toString()))
            visit(c, tallyTime(ms), 1);
    });
}

void Store::sumUpLongRun() {
    if (lastPage(db) - summedThrough(db) >= kLongUnsummed)
        sumUp();
}

bool Store::sumUp() {
    if (!open())
        return false;
    if (lastPage(db) <= summedThrough(db))
        return true;
    if (sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    // Read again under the lock: another qorvex may have summed up meanwhile.
    const qint64 through = summedThrough(db), upTo = lastPage(db);
    bool done = through >= 0;
    QStringList drills;
    {
        Statement select(db, "SELECT DISTINCT drill FROM pages WHERE id > ?1;");
        select.bind(1, through);
        int rc = SQLITE_ERROR;
        while (select && (rc = sqlite3_step(*select)) == SQLITE_ROW) drills << select.text(0);
        done = done && rc == SQLITE_DONE;
    }
    for (const QString& drill : drills) {
        Totals totals;
        done = done &&
               readStrokes(db, drill, through,
                           [&](QStringView c, quint32 ms, quint32 wrong, bool first) {
                               totals.add(c, ms, wrong, first);
                           }) == SQLITE_DONE &&
               totals.addTo(db, drill) && DetailRows::addTotals(db, drill, through);
    }
    if (done) {
        Statement update(db, "UPDATE summed SET through = ?1;");
        update.bind(1, upTo);
        done = update && sqlite3_step(*update) == SQLITE_DONE;
    }
    if (!done || sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

}  // namespace History
