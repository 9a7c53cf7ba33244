#include "data/history.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <limits>

#include "data/historydetails.h"
#include "data/historyfiles.h"
#include "data/historyschema.h"
#include "data/historytexts.h"
#include "data/statement.h"
#include "data/varint.h"
#include "platform/errors.h"

namespace History {

namespace {

constexpr int kVersion = 4;

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
    // 3 -> 4
    Texts::kMigration,
};
static_assert(std::size(kMigrations) == kVersion);

std::function<void(const QString&)>& messageSink() {
    static std::function<void(const QString&)> sink;
    return sink;
}

// Walks strokes packed by packTimes: visit(character, ms, wrong) for each character that still
// has its times.
template <typename Visit>
void forEachPackedStroke(const QString& characters, const QByteArray& times, Visit&& visit) {
    qsizetype pos = 0;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const qsizetype n = characters[i].isHighSurrogate() && i + 1 < characters.size() ? 2 : 1;
        quint64 packed = 0, wrong = 0;
        if (!Varint::get(times, pos, packed))
            break;
        wrong = packed & 3;
        if (wrong == 3 && !Varint::get(times, pos, wrong))
            break;
        // Held to what a page can hold: a count from a damaged or hostile file must not make a
        // reader loop for minutes.
        visit(QStringView(characters).mid(i, n), quint32(bounded(qint64(packed >> 2), kLongestMs)),
              quint32(qMin<quint64>(wrong, kMostWrong)));
        i += n - 1;
    }
}

using Sql::Statement;

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

bool isBroken(int code) {
    code &= 0xFF;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

bool isLocked(int code) {
    code &= 0xFF;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

}  // namespace

// The last page in the totals; a file without the mark has its totals read as they stand.
qint64 summedThrough(sqlite3* db) {
    Statement select(db, "SELECT through FROM summed;");
    return select.row() ? select.integer(0) : std::numeric_limits<qint64>::max();
}

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

qint64 bounded(qint64 value, qint64 most) {
    return qBound<qint64>(0, value, most);
}

namespace {

bool oneCharacter(const QString& c) {
    return c.size() == 1 ? !c[0].isSurrogate()
                         : c.size() == 2 && c[0].isHighSurrogate() && c[1].isLowSurrogate();
}

bool isCode(const QString& code) {
    if (code.size() > kLongestEntry)
        return false;
    for (const QChar c : code)
        if (c < QLatin1Char('a') || c > QLatin1Char('z'))
            return false;
    return true;
}

// A wrong attempt is kept in the file ended by kWrongEnd: no control character, no half of a
// surrogate pair.
bool isWrongEntry(const QString& entry) {
    if (entry.size() > kLongestEntry)
        return false;
    for (qsizetype i = 0; i < entry.size(); ++i) {
        const QChar c = entry[i];
        if (c.unicode() < 0x20 || c.isLowSurrogate())
            return false;
        if (c.isHighSurrogate() && !(i + 1 < entry.size() && entry[++i].isLowSurrogate()))
            return false;
    }
    return true;
}

}  // namespace

QString problemOf(const Page& page) {
    if (!page.at.isValid())
        return QStringLiteral("时间无效");
    if (page.drill != kText && page.drill != kRoot && page.drill != kFinger)
        return QStringLiteral("练习种类未知");
    if (page.lesson.size() > kLongestName || page.speedText.size() > kLongestName)
        return QStringLiteral("课程名称或速度超过 %1 个字").arg(kLongestName);
    if (page.ms < 0 || page.ms > kLongestMs)
        return QStringLiteral("用时不在 0 到 24 小时之间");
    for (const int n : {page.amount, page.errors, page.rangeFirst, page.rangeSecond, page.pageNo})
        if (n < 0 || n > kMostCount)
            return QStringLiteral("字数、错误数或页码超出范围");
    if (page.strokes.size() > kMostStrokes)
        return QStringLiteral("击键超过 %1 个").arg(kMostStrokes);
    for (qsizetype i = 0; i < page.strokes.size(); ++i) {
        const Stroke& s = page.strokes[i];
        QString wrong;
        if (!oneCharacter(s.character))
            wrong = QStringLiteral("不是一个字符");
        else if (s.ms > kLongestMs)
            wrong = QStringLiteral("用时超过 24 小时");
        else if (s.wrong > kMostWrong || s.wrongs.size() > s.wrong)
            wrong = QStringLiteral("错误次数超出范围");
        else if (!isCode(s.code))
            wrong = QStringLiteral("编码不是 %1 个以内的小写字母").arg(kLongestEntry);
        else if (!std::all_of(s.wrongs.cbegin(), s.wrongs.cend(), isWrongEntry))
            wrong = QStringLiteral("打错的字含有控制字符，或者太长");
        if (!wrong.isEmpty())
            return QStringLiteral("第 %1 个击键%2").arg(i + 1).arg(wrong);
    }
    return {};
}

// Times are small (most strokes take well under four seconds) and wrong counts mostly 0: one
// varint of (ms << 2 | min(wrong, 3)), and the wrong count again when it is 3 or more.
QByteArray packTimes(const QList<Stroke>& strokes) {
    QByteArray out;
    out.reserve(strokes.size() * 2);
    for (const Stroke& s : strokes) {
        Varint::put(out, (quint64(s.ms) << 2) | qMin<quint32>(s.wrong, 3));
        if (s.wrong >= 3)
            Varint::put(out, s.wrong);
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
    static Store store = [] {
        const Place place = defaultPlace();
        return Store(place.path, place.note);
    }();
    return store;
}

QString Store::defaultPath() {
    return defaultPlace().path;
}

void Store::setMessageSink(std::function<void(const QString&)> sink) {
    messageSink() = std::move(sink);
}

Store::Store(QString path, QString note) : file(std::move(path)), note(std::move(note)) {}

// The store of the pupil's file is destroyed at the program's exit, which may come from inside
// the windowing system (the display gone): what it still has to tell goes to the terminal, as
// no box can open then.
Store::~Store() {
    leaving = true;
    finish();
}

void Store::idle() {
    if (!pending.isEmpty())
        writeHeld();
    if (!db)
        return;
    // The page just finished goes into the running totals now, while the pupil looks at the
    // result, so that the record window opens on totals that are up to date instead of reading
    // the day's pages stroke by stroke.
    if (pending.isEmpty())
        sumUp();
    // Folded and cut back to nothing (busy for a moment at most while another qorvex reads).
    // The first commit into a journal begun afresh syncs its header to the disk, which costs
    // milliseconds: one small write does it here, so that the next page's commit only appends.
    if (sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr) ==
        SQLITE_OK) {
        const QByteArray touch = "PRAGMA user_version = " + QByteArray::number(kVersion) + ";";
        sqlite3_exec(db, touch.constData(), nullptr, nullptr, nullptr);
    }
}

void Store::finish() {
    if (!pending.isEmpty())
        writeHeld();
    if (db && pending.isEmpty())
        sumUp();
    close();
    if (!pending.isEmpty())
        keepLeftovers();
}

void Store::tell(Problem problem, const QString& message) {
    if (told.contains(problem) ||
        (quiet && (problem == Problem::Unusable || problem == Problem::Locked)))
        return;
    told.insert(problem);
    if (messageSink())
        messageSink()(message);
    else if (leaving)
        std::fprintf(stderr, "qorvex: %s\n", qPrintable(message));
    else
        Errors::report(message);
}

void Store::tellLocked() {
    reason = sqliteReason(SQLITE_BUSY, 0);
    // SQLite cannot say who holds the lock: another qorvex, or a program the pupil opened it in.
    trouble = QStringLiteral("学习记录文件 %1 正被另一个程序使用，新的记录还没有写入。").arg(file);
    tell(Problem::Locked,
         QStringLiteral("学习记录文件 %1 正被另一个程序（另一个 qorvex，或者打开了它的工具）"
                        "使用，本次练习的记录先保存在内存中，稍后再写入。")
             .arg(file));
}

void Store::cannot(Step step, int code, int systemError) {
    if (isLocked(code))
        tellLocked();
    else
        cannot(step, sqliteReason(code, systemError), file);
}

void Store::cannot(Step step, const QString& why, const QString& what) {
    reason = why;
    const QString verb = step == Step::Create ? QStringLiteral("创建")
                         : step == Step::Open ? QStringLiteral("打开")
                                              : QStringLiteral("写入");
    trouble =
        QStringLiteral("无法%1学习记录文件 %2（%3），学习记录没有保存。").arg(verb, what, why);
    tell(Problem::Unusable, QStringLiteral("无法%1学习记录文件 %2（%3）。练习可以照常进行，"
                                           "本次的记录先留在内存中，稍后再试着写入。")
                                .arg(verb, what, why));
}

void Store::close() {
    statements.reset();
    if (db)
        sqlite3_close_v2(db);
    db = nullptr;
}

// Opens the file and brings it to this version: SQLITE_OK, or the code of the step that failed
// with db still open for its reason.
int Store::connect() {
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    statements = std::make_unique<Sql::Cache>(db);
    // A file the pupil may not write is not touched at all, not even read (which would make
    // SQLite add its journal files beside it).
    if (rc == SQLITE_OK && sqlite3_db_readonly(db, "main") == 1)
        return SQLITE_READONLY;
    if (rc == SQLITE_OK) {
        // Another qorvex writing its page holds the lock for a moment only.
        sqlite3_busy_timeout(db, 100);
        rc = Texts::addHashFunction(db);
    }
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        // The journal is folded into the file when the pupil is idle and when the store closes,
        // not while a page is being finished.
        rc = sqlite3_exec(db,
                          "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
                          " PRAGMA wal_autocheckpoint = 0;",
                          nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = migrate();
    return rc == SQLITE_OK ? MeasureRows::create(db) : rc;
}

bool Store::open() {
    if (db)
        return true;
    if (!note.isEmpty())
        tell(Problem::Place, note);
    if (gaveUp || file.isEmpty())
        return false;
    const QString folder = QFileInfo(file).absolutePath();
    if (const int error = makePrivateFolder(folder)) {
        cannot(Step::Create, systemReason(error), file);
        return false;
    }
    QString aside;  // a file put aside for its tables, whose pages go into the new one
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool existed = QFileInfo::exists(file);
        if (const int error = makePrivateFile(file)) {
            cannot(Step::Create, systemReason(error), file);
            return false;
        }
        const int rc = connect();
        // A file whose tables another program changed is put aside like a broken one: the store
        // would write pages no reader finds, or a trigger would change them behind its back.
        QString wrong;
        if (rc == SQLITE_OK)
            wrong = Schema::problem(db);
        else if ((rc & 0xFF) == SQLITE_ERROR && !gaveUp)
            wrong = QStringLiteral("无法升级：%1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        if (rc == SQLITE_OK && wrong.isEmpty()) {
            trouble.clear();
            mergeLeftovers();
            if (!aside.isEmpty()) {
                const int copied = rescue(aside);
                tell(Problem::Broken,
                     QStringLiteral("学习记录文件的表被别的程序改过（%1），已改名为 %2 保存；"
                                    "新的记录写入新文件，原有的 %3 页练习记录已复制过去。")
                         .arg(reason, aside)
                         .arg(copied));
            }
            return true;
        }
        const int systemError = db ? sqlite3_system_errno(db) : 0;
        close();
        if (gaveUp)
            return false;
        if ((isBroken(rc) || !wrong.isEmpty()) && attempt == 0) {
            reason = wrong;
            aside = renameAside(wrong);
            if (aside.isEmpty())
                return false;
            if (wrong.isEmpty())
                aside.clear();
            continue;
        }
        if (!wrong.isEmpty()) {
            cannot(Step::Open, wrong, file);
            return false;
        }
        cannot(existed ? Step::Open : Step::Create, rc, systemError);
        return false;
    }
    return false;
}

// The pages of a file put aside that this version can still read, each checked as an import's.
int Store::rescue(const QString& aside) {
    sqlite3* old = nullptr;
    int copied = 0;
    if (sqlite3_open_v2(QFile::encodeName(aside).constData(), &old, SQLITE_OPEN_READONLY,
                        nullptr) == SQLITE_OK) {
        const QByteArray select = Schema::rescueSelect(old);
        if (!select.isEmpty())
            copied = merge([&](const std::function<void(const Page&)>& add) {
                Schema::readPageRows(old, select.constData(), 0, [&](qint64, const Page& page) {
                    if (problemOf(page).isEmpty())
                        add(page);
                    return true;
                });
            });
    }
    sqlite3_close_v2(old);
    return qMax(copied, 0);
}

bool Store::readPages(const std::function<bool(const Page&)>& visit) {
    unreadable.clear();
    const auto each = [&](qint64, const Page& page) { return visit(page); };
    struct stat info {};
    if (file.isEmpty() ||
        (!db && ::stat(QFile::encodeName(file).constData(), &info) != 0 && errno == ENOENT))
        return true;  // nothing written yet
    if (!db) {
        // A file this run cannot write is read read-only below, with nothing to tell.
        quiet = true;
        open();
        quiet = false;
    }
    if (db) {
        const int rc = Schema::readPageRows(db, Schema::kPageRows, 0, each);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            unreadable = sqliteReason(rc, 0);
        return unreadable.isEmpty();
    }
    // Read-only: a history the pupil may read but not write exports all the same. A journal the
    // pupil may not make beside it (a read-only folder) leaves the file as it is on the disk.
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded();
    int rc = SQLITE_CANTOPEN;
    for (const QByteArray& name : {uri, uri + "?immutable=1"}) {
        sqlite3* ro = nullptr;
        rc =
            sqlite3_open_v2(name.constData(), &ro, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
        QString wrong;
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(ro, 1000);
            Statement version(ro, "PRAGMA user_version;");
            rc = version.row() ? SQLITE_OK : sqlite3_extended_errcode(ro);
            if (rc == SQLITE_OK && version.integer(0) != kVersion)
                wrong = QStringLiteral("文件的版本不同，又不能写入");
            else if (rc == SQLITE_OK)
                wrong = Schema::problem(ro);
        }
        if (rc == SQLITE_OK && wrong.isEmpty())
            rc = Schema::readPageRows(ro, Schema::kPageRows, 0, each);
        const int systemError = ro ? sqlite3_system_errno(ro) : 0;
        sqlite3_close_v2(ro);
        if (!wrong.isEmpty()) {
            unreadable = wrong;
            return false;
        }
        if (rc == SQLITE_DONE || rc == SQLITE_ROW)
            return true;
        unreadable = sqliteReason(rc, systemError);
    }
    return false;
}

int Store::migrate() {
    int version = -1;
    {
        Statement read(db, "PRAGMA user_version;");
        if (read && sqlite3_step(*read) == SQLITE_ROW)
            version = sqlite3_column_int(*read, 0);
    }
    if (version == kVersion)
        return SQLITE_OK;
    if (version < 0)
        return sqlite3_extended_errcode(db);
    if (version > kVersion) {
        gaveUp = true;
        reason = QStringLiteral("由更新版本的 qorvex 写成");
        trouble = QStringLiteral(
                      "学习记录文件 %1 由更新版本的 qorvex 写成，本程序不改动它，"
                      "学习记录没有保存。")
                      .arg(file);
        tell(Problem::Unusable,
             QStringLiteral(
                 "学习记录文件 %1 由更新版本的 qorvex 写成，本程序不改动它，本次的记录不能保存。")
                 .arg(file));
        return SQLITE_ERROR;
    }
    // The first failing step's code, before ROLLBACK replaces it (SQLite may have rolled back
    // already after a full disk, and then ROLLBACK only says no transaction is active).
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr);
    for (int v = version; v < kVersion && rc == SQLITE_OK; ++v)
        rc = sqlite3_exec(db, kMigrations[v], nullptr, nullptr, nullptr);
    const QByteArray setVersion = "PRAGMA user_version = " + QByteArray::number(kVersion) + ";";
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, setVersion.constData(), nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        rc = sqlite3_extended_errcode(db);
        if (!sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    } else if (version > 0 && version < 4) {
        // The texts' old index leaves its pages free in the file: given back once. A file that
        // cannot be compacted now (a full disk) is whole all the same.
        sqlite3_exec(db, "VACUUM;", nullptr, nullptr, nullptr);
    }
    return rc;
}

// The file and its journal keep their contents under a new name beside the new file. A broken
// file is told here; one put aside for its tables (problem) is told once its pages are copied.
QString Store::renameAside(const QString& problem) {
    const QString stem = file + QStringLiteral(".broken-") +
                         QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n) aside = stem + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(file, aside)) {
        gaveUp = true;
        const QString what =
            problem.isEmpty() ? QStringLiteral("已损坏") : QStringLiteral("的表被别的程序改过");
        reason = QStringLiteral("文件%1，也无法改名").arg(what);
        trouble =
            QStringLiteral("学习记录文件 %1 %2，也无法改名，学习记录没有保存。").arg(file, what);
        tell(Problem::Broken,
             QStringLiteral(
                 "学习记录文件 %1 %2，也无法改名。练习可以照常进行，但本次的记录不能保存。")
                 .arg(file, what));
        return {};
    }
    for (const char* suffix : {"-wal", "-shm"})
        if (QFileInfo::exists(file + QLatin1String(suffix)))
            QFile::rename(file + QLatin1String(suffix), aside + QLatin1String(suffix));
    if (problem.isEmpty())
        tell(Problem::Broken,
             QStringLiteral("学习记录文件已损坏，已改名为 %1 保存，新的记录写入新文件。")
                 .arg(aside));
    return aside;
}

bool Store::record(const Page& page) {
    pending.append(page);
    return writeHeld();
}

bool Store::writeHeld() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!open())
            return false;
        if (writePending())
            return true;
        if (!isBroken(lastCode))
            return false;
        close();
        renameAside();
    }
    return false;
}

bool Store::writePending() {
    if (pending.isEmpty())
        return true;
    // SQLITE_OK, or the first failing step's code.
    const auto run = [this](const char* sql) {
        Statement statement(*statements, sql);
        return statement.step() == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(db);
    };
    int rc = run("BEGIN IMMEDIATE;");
    for (qsizetype i = 0; i < pending.size() && rc == SQLITE_OK; ++i)
        if (!writeOne(pending[i], i < leftoverPages))
            rc = sqlite3_extended_errcode(db);
    if (rc == SQLITE_OK)
        rc = run("COMMIT;");
    if (rc == SQLITE_OK) {
        pending.clear();
        for (const QString& leftover : std::as_const(leftoverFiles)) QFile::remove(leftover);
        leftoverFiles.clear();
        leftoverPages = 0;
        trouble.clear();
        return true;
    }
    // A full disk makes SQLite roll back by itself; the pages stay held either way.
    lastCode = rc;
    const int systemError = sqlite3_system_errno(db);
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    if (!isBroken(lastCode))
        cannot(Step::Write, lastCode, systemError);
    return false;
}

// Pages a run before this one could not write, added to this file before anything else.
void Store::mergeLeftovers() {
    if (leftoversRead)
        return;
    leftoversRead = true;
    QList<Page> older;
    for (const QString& leftover : Leftovers::find(file)) {
        const Leftovers::Read read = Leftovers::read(leftover, file, older);
        if (read == Leftovers::Read::Taken) {
            leftoverFiles << leftover;
        } else if (read == Leftovers::Read::Damaged) {
            // Out of the way of the next run, and kept for whoever wants to look at it.
            const QString aside = leftover + QStringLiteral(".damaged");
            tell(Problem::Leftover,
                 QFile::rename(leftover, aside)
                     ? QStringLiteral("未保存的练习记录文件 %1 已损坏，无法补写进学习记录，"
                                      "已改名为 %2。")
                           .arg(leftover, aside)
                     : QStringLiteral("未保存的练习记录文件 %1 已损坏，无法补写进学习记录。")
                           .arg(leftover));
        }
    }
    if (leftoverFiles.isEmpty())
        return;
    leftoverPages = int(older.size());
    pending = older + pending;
    if (pending.isEmpty()) {
        for (const QString& leftover : std::as_const(leftoverFiles)) QFile::remove(leftover);
        leftoverFiles.clear();
        return;
    }
    writePending();
}

void Store::keepLeftovers() {
    const QString kept = file.isEmpty() ? QString() : Leftovers::write(file, pending);
    if (!kept.isEmpty()) {
        for (const QString& leftover : std::as_const(leftoverFiles))
            if (leftover != kept)
                QFile::remove(leftover);
        tell(Problem::Unsaved,
             QStringLiteral("有 %1 页练习记录没能写入学习记录文件 %2（%3）。它们已另存到 %4，"
                            "下次使用学习记录时会补写进去。")
                 .arg(pending.size())
                 .arg(file, reason, kept));
    } else if (!file.isEmpty() && pending.size() > leftoverPages) {
        // Pages from a leftover file that is still there are not lost.
        tell(Problem::Unsaved,
             QStringLiteral("有 %1 页练习记录没能保存：学习记录文件 %2 无法写入（%3），"
                            "另存到别处也没有成功。")
                 .arg(pending.size() - leftoverPages)
                 .arg(file, reason));
    }
    pending.clear();
    leftoverFiles.clear();
    leftoverPages = 0;
}

// A page from a leftover file that is already in the file is not written again: a run that
// merged the leftover file may have stopped before removing it.
bool Store::writeOne(const Page& page, bool fromLeftovers) {
    qint64 textId = 0, codesId = 0;
    const Details details = packDetails(page.strokes);
    if (!page.strokes.isEmpty()) {
        QString characters;
        for (const Stroke& s : page.strokes) characters += s.character;
        if (!(textId = Texts::keep(*statements, Texts::Table::Strokes, characters)))
            return false;
    }
    if (!details.codes.isEmpty() &&
        !(codesId = Texts::keep(*statements, Texts::Table::Codes, details.codes)))
        return false;
    Statement insert(*statements,
                     "INSERT INTO pages(at, drill, lesson, range_first, range_second, page_no, ms,"
                     " amount, speed_text, speed, errors, strokes, times, codes, hints, wrongs)"
                     " SELECT ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?15, ?16, ?17"
                     " WHERE ?14 = 0 OR NOT EXISTS (SELECT 1 FROM pages"
                     " WHERE drill = ?2 AND lesson = ?3 AND at = ?1 AND ms = ?7);");
    if (!insert)
        return false;
    insert.bind(1, page.at.toMSecsSinceEpoch())
        .bind(2, page.drill)
        .bind(3, page.lesson)
        .bind(4, page.rangeFirst)
        .bind(5, page.rangeSecond)
        .bind(6, page.pageNo)
        .bind(7, page.ms)
        .bind(8, page.amount)
        .bind(9, page.speedText)
        .bind(10, speedValue(page.speedText))
        .bind(11, page.errors)
        .bind(14, qint64(fromLeftovers))
        .bindBlob(16, details.hints);
    if (textId)
        insert.bind(12, textId).bindBlob(13, packTimes(page.strokes));
    if (codesId)
        insert.bind(15, codesId);
    if (!details.wrongs.isEmpty())
        insert.bind(17, details.wrongs);
    return insert.done() && MeasureRows::keep(*statements, page.measures);
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
        page.rangeFirst = int(bounded(sqlite3_column_int64(*select, 3), kMostCount));
        page.rangeSecond = int(bounded(sqlite3_column_int64(*select, 4), kMostCount));
        page.pageNo = int(bounded(sqlite3_column_int64(*select, 5), kMostCount));
        page.ms = bounded(sqlite3_column_int64(*select, 6), kLongestMs);
        page.amount = int(bounded(sqlite3_column_int64(*select, 7), kMostCount));
        page.speedText = select.text(8);
        page.errors = int(bounded(sqlite3_column_int64(*select, 9), kMostCount));
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
    const Sql::Snapshot snapshot(db);
    Statement select(db, "SELECT character, met, wrong FROM tallies WHERE drill = ?1;");
    select.bind(1, drill);
    while (select && sqlite3_step(*select) == SQLITE_ROW)
        visit(select.text(0), bounded(sqlite3_column_int64(*select, 1), kMostTotal),
              bounded(sqlite3_column_int64(*select, 2), kMostTotal));
    readStrokes(db, drill, summedThrough(db),
                [&](QStringView c, quint32, quint32 wrong, bool) { visit(c, 1, wrong); });
}

void Store::forEachTime(const QString& drill, const QStringList& characters,
                        const std::function<void(QStringView, quint32, qint64)>& visit) {
    if (characters.isEmpty() || !open())
        return;
    sumUpLongRun();
    const Sql::Snapshot snapshot(db);
    Statement select(db, "SELECT ms, count FROM times WHERE drill = ?1 AND character = ?2;");
    for (const QString& c : characters) {
        select.bindAll(drill, c);
        while (select && sqlite3_step(*select) == SQLITE_ROW)
            visit(c, quint32(bounded(sqlite3_column_int64(*select, 0), kLongestMs)),
                  bounded(sqlite3_column_int64(*select, 1), kMostTotal));
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

// ---- Removing pages ----

namespace {

// Removes the pages a statement selects ("SELECT id, strokes, ... FROM pages WHERE ..." with the
// pages' ids, text ids and times) in one transaction. The pages already in the running totals
// (up to summed.through) have their strokes taken off again, so the totals still agree with the
// pages; rows brought to nothing go, and so do texts no page uses any more.
bool removePages(sqlite3* db, const char* where, const QStringList& values) {
    if (sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    const qint64 through = summedThrough(db);
    QHash<QString, Totals> byDrill;
    QList<qint64> ids;
    bool done = true;
    {
        const QByteArray sql =
            "SELECT pages.id, drill, texts.body, times FROM pages"
            " LEFT JOIN texts ON texts.id = pages.strokes WHERE " +
            QByteArray(where) + ";";
        Statement select(db, sql.constData());
        for (int i = 0; i < values.size(); ++i) select.bind(i + 1, values[i]);
        int rc = SQLITE_ERROR;
        while (select && (rc = sqlite3_step(*select)) == SQLITE_ROW) {
            const qint64 id = sqlite3_column_int64(*select, 0);
            ids.append(id);
            if (id > through)
                continue;
            if (!DetailRows::takeBack(db, id, select.text(1))) {
                rc = SQLITE_ERROR;
                break;
            }
            Totals& totals = byDrill[select.text(1)];
            bool first = true;
            forEachPackedStroke(select.text(2), select.blob(3),
                                [&](QStringView c, quint32 ms, quint32 wrong) {
                                    totals.add(c, ms, wrong, first);
                                    first = false;
                                });
        }
        done = rc == SQLITE_DONE;
    }
    Statement tally(db,
                    "UPDATE tallies SET met = met - ?3, wrong = wrong - ?4"
                    " WHERE drill = ?1 AND character = ?2;");
    Statement time(db,
                   "UPDATE times SET count = count - ?4"
                   " WHERE drill = ?1 AND character = ?2 AND ms = ?3;");
    for (auto drill = byDrill.cbegin(); done && drill != byDrill.cend(); ++drill) {
        for (auto it = drill->characters.cbegin(); done && it != drill->characters.cend(); ++it) {
            tally.bindAll(drill.key(), it.key(), it->met, it->wrong);
            done = tally && sqlite3_step(*tally) == SQLITE_DONE;
        }
        for (auto it = drill->times.cbegin(); done && it != drill->times.cend(); ++it) {
            time.bindAll(drill.key(), it.key().first, qint64(it.key().second), it.value());
            done = time && sqlite3_step(*time) == SQLITE_DONE;
        }
    }
    Statement remove(db, "DELETE FROM pages WHERE id = ?1;");
    for (qsizetype i = 0; done && i < ids.size(); ++i) {
        remove.bindAll(ids[i]);
        done = remove && sqlite3_step(*remove) == SQLITE_DONE;
    }
    done = done &&
           sqlite3_exec(db,
                        "DELETE FROM tallies WHERE met <= 0;"
                        "DELETE FROM times WHERE count <= 0;"
                        "DELETE FROM texts WHERE id NOT IN"
                        " (SELECT strokes FROM pages WHERE strokes IS NOT NULL);",
                        nullptr, nullptr, nullptr) == SQLITE_OK &&
           DetailRows::tidyAfterRemoval(db);
    if (!done || sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

}  // namespace

QList<Store::PageMark> Store::marks(const QString& drill, const QString& lesson) {
    QList<PageMark> result;
    if (!open())
        return result;
    Statement select(db,
                     "SELECT id, at, speed FROM pages WHERE drill = ?1 AND lesson = ?2"
                     " ORDER BY at, id;");
    select.bindAll(drill, lesson);
    while (select && sqlite3_step(*select) == SQLITE_ROW)
        result.append({sqlite3_column_int64(*select, 0), sqlite3_column_int64(*select, 1),
                       sqlite3_column_double(*select, 2)});
    return result;
}

qint64 Store::firstRecorded() {
    if (!open())
        return 0;
    Statement select(db, "SELECT at FROM pages ORDER BY id LIMIT 1;");
    return select && sqlite3_step(*select) == SQLITE_ROW ? sqlite3_column_int64(*select, 0) : 0;
}

bool Store::removePage(qint64 id) {
    return open() && removePages(db, "pages.id = ?1", {QString::number(id)});
}

bool Store::removeLesson(const QString& drill, const QString& lesson) {
    return open() && removePages(db, "drill = ?1 AND lesson = ?2", {drill, lesson});
}

}  // namespace History
