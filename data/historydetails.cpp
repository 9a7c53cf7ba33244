#include "data/historydetails.h"

#include <sqlite3.h>
#include <QScopeGuard>

#include "data/historyschema.h"
#include "data/historytexts.h"
#include "data/statement.h"
#include "data/varint.h"

namespace History {

namespace {

using Sql::Statement;

// The pages of a drill after page through with every stroke's details.
constexpr char kPagesOfDrill[] =
    "SELECT texts.body, times, codes.body, hints, wrongs FROM pages"
    " JOIN texts ON texts.id = pages.strokes LEFT JOIN codes ON codes.id = pages.codes"
    " WHERE pages.id > ?1 AND +drill = ?2;";

QList<Stroke> strokesOf(const Statement& q, int first) {
    QList<Stroke> strokes = unpack(q.text(first), q.blob(first + 1));
    unpackDetails(strokes, {q.text(first + 2), q.blob(first + 3), q.text(first + 4)});
    return strokes;
}

// Visits what the drill's pages after page through add to the totals.
template <typename Confusion, typename Attempt>
bool walkDetails(sqlite3* db, const QString& drill, qint64 through, Confusion&& confusion,
                 Attempt&& attempt) {
    Statement select(db, kPagesOfDrill);
    if (!select)
        return false;
    select.bind(1, through).bind(2, drill);
    int rc;
    while ((rc = sqlite3_step(*select)) == SQLITE_ROW)
        for (const Stroke& s : strokesOf(select, 0)) {
            for (const QString& typed : s.wrongs) confusion(s.character, typed);
            if (!s.code.isEmpty())
                attempt(s.character, s.code);
        }
    return rc == SQLITE_DONE;
}

}  // namespace

Details packDetails(const QList<Stroke>& strokes) {
    Details d;
    bool anyCode = false, anyHint = false;
    QStringList codes;
    for (const Stroke& s : strokes) {
        codes << s.code;
        anyCode = anyCode || !s.code.isEmpty();
        anyHint = anyHint || s.hinted;
        for (const QString& w : s.wrongs) d.wrongs += w + kWrongEnd;
    }
    if (anyCode)
        d.codes = codes.join(QLatin1Char(' '));
    if (anyHint) {
        bool state = false;
        quint64 run = 0;
        for (const Stroke& s : strokes) {
            if (s.hinted != state) {
                Varint::put(d.hints, run);
                state = s.hinted;
                run = 0;
            }
            ++run;
        }
        Varint::put(d.hints, run);
    }
    return d;
}

void unpackDetails(QList<Stroke>& strokes, const Details& details) {
    if (!details.codes.isEmpty()) {
        const QStringList codes = details.codes.split(QLatin1Char(' '));
        for (qsizetype i = 0; i < strokes.size() && i < codes.size(); ++i)
            strokes[i].code = codes[i];
    }
    qsizetype pos = 0, at = 0;
    bool state = false;
    quint64 run = 0;
    while (at < strokes.size() && Varint::get(details.hints, pos, run)) {
        for (quint64 k = 0; k < run && at < strokes.size(); ++k) strokes[at++].hinted = state;
        state = !state;
    }
    if (details.wrongs.isEmpty())
        return;
    const QStringList wrongs = details.wrongs.split(kWrongEnd);  // the last entry is empty
    qsizetype next = 0;
    for (Stroke& s : strokes)
        for (quint32 k = 0; k < s.wrong && next + 1 < wrongs.size(); ++k)
            s.wrongs << wrongs[next++];
}

namespace DetailRows {

bool addTotals(sqlite3* db, const QString& drill, qint64 through) {
    QHash<QPair<QString, QString>, qint64> confusions, attempts;
    if (!walkDetails(
            db, drill, through,
            [&](const QString& wanted, const QString& typed) {
                ++confusions[{wanted, typed}];
            },
            [&](const QString& c, const QString& code) {
                ++attempts[{c, code}];
            }))
        return false;
    // Each row is added to, or made when it is not there yet (the update comes first: after the
    // first pages nearly every row exists).
    auto add = [db](Statement& update, Statement& insert, const QString& drill,
                    const QPair<QString, QString>& key, qint64 count) {
        update.reset();
        insert.reset();
        if (!update.bind(1, drill).bind(2, key.first).bind(3, key.second).bind(4, count).done())
            return false;
        return sqlite3_changes(db) > 0 ||
               insert.bind(1, drill).bind(2, key.first).bind(3, key.second).bind(4, count).done();
    };
    Statement updateConfusion(db,
                              "UPDATE confusions SET count = count + ?4"
                              " WHERE drill = ?1 AND wanted = ?2 AND typed = ?3;");
    Statement insertConfusion(
        db, "INSERT INTO confusions(drill, wanted, typed, count) VALUES (?1, ?2, ?3, ?4);");
    for (auto it = confusions.cbegin(); it != confusions.cend(); ++it)
        if (!add(updateConfusion, insertConfusion, drill, it.key(), it.value()))
            return false;
    // The attempts are the text drill's only; ?1 is unused there.
    Statement updateAttempt(db,
                            "UPDATE attempts SET count = count + ?4"
                            " WHERE ?1 IS NOT NULL AND character = ?2 AND code = ?3;");
    Statement insertAttempt(db,
                            "INSERT INTO attempts(character, code, count)"
                            " SELECT ?2, ?3, ?4 WHERE ?1 IS NOT NULL;");
    for (auto it = attempts.cbegin(); it != attempts.cend(); ++it)
        if (!add(updateAttempt, insertAttempt, drill, it.key(), it.value()))
            return false;
    return true;
}

bool takeBack(sqlite3* db, qint64 id, const QString& drill) {
    Statement select(
        db,
        "SELECT texts.body, times, codes.body, hints, wrongs FROM pages"
        " JOIN texts ON texts.id = pages.strokes LEFT JOIN codes ON codes.id = pages.codes"
        " WHERE pages.id = ?1;");
    if (!select.bind(1, id).row())
        return true;  // a page without strokes has no details
    Statement confusion(db,
                        "UPDATE confusions SET count = count - 1"
                        " WHERE drill = ?1 AND wanted = ?2 AND typed = ?3;");
    Statement attempt(db,
                      "UPDATE attempts SET count = count - 1 WHERE character = ?1 AND code = ?2;");
    for (const Stroke& s : strokesOf(select, 0)) {
        for (const QString& typed : s.wrongs) {
            confusion.reset();
            if (!confusion.bind(1, drill).bind(2, s.character).bind(3, typed).done())
                return false;
        }
        if (drill == kText && !s.code.isEmpty()) {
            attempt.reset();
            if (!attempt.bind(1, s.character).bind(2, s.code).done())
                return false;
        }
    }
    return true;
}

bool tidyAfterRemoval(sqlite3* db) {
    return sqlite3_exec(db,
                        "DELETE FROM confusions WHERE count <= 0;"
                        "DELETE FROM attempts WHERE count <= 0;"
                        "DELETE FROM codes WHERE id NOT IN"
                        " (SELECT codes FROM pages WHERE codes IS NOT NULL);"
                        "DELETE FROM derived;",
                        nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace DetailRows

void Store::forEachPage(qint64 after, const std::function<bool(qint64, const Page&)>& visit) {
    if (open())
        Schema::readPageRows(db, Schema::kPageRows, after, visit);
}

void Store::forEachConfusion(const QString& drill,
                             const std::function<void(QStringView, QStringView, qint64)>& visit) {
    if (!open())
        return;
    sumUpLongRun();
    const Sql::Snapshot snapshot(db);
    Statement select(db, "SELECT wanted, typed, count FROM confusions WHERE drill = ?1;");
    select.bind(1, drill);
    while (select.row())
        visit(select.text(0), select.text(1), bounded(select.integer(2), kMostTotal));
    walkDetails(
        db, drill, summedThrough(db),
        [&](const QString& wanted, const QString& typed) { visit(wanted, typed, 1); },
        [](const QString&, const QString&) {});
}

void Store::forEachCodeAttempt(const std::function<void(QStringView, QStringView, qint64)>& visit) {
    if (!open())
        return;
    sumUpLongRun();
    const Sql::Snapshot snapshot(db);
    Statement select(db, "SELECT character, code, count FROM attempts;");
    while (select.row())
        visit(select.text(0), select.text(1), bounded(select.integer(2), kMostTotal));
    walkDetails(
        db, kText, summedThrough(db), [](const QString&, const QString&) {},
        [&](const QString& c, const QString& code) { visit(c, code, 1); });
}

int Store::merge(const QList<Page>& pages) {
    return merge([&](const std::function<void(const Page&)>& add) {
        for (const Page& page : pages) add(page);
    });
}

int Store::merge(const PageSource& source) {
    if (!open() || sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return -1;
    bool committed = false;
    const auto rollBack = qScopeGuard([&] {
        if (!committed)
            sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    });
    int added = 0;
    bool ok = true;
    {
        Statement present(db, "SELECT 1 FROM pages WHERE at = ?1 AND drill = ?2 AND lesson = ?3;");
        source([&](const Page& page) {
            present.reset();
            present.bind(1, page.at.toMSecsSinceEpoch()).bind(2, page.drill).bind(3, page.lesson);
            if (!ok || present.row())
                return;
            present.reset();
            if ((ok = writeOne(page, false)))
                ++added;
        });
    }
    // Derived state is worked out again in the order of the pages' times.
    if (ok && added > 0)
        ok = sqlite3_exec(db, "DELETE FROM derived;", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok || sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return -1;
    committed = true;
    return added;
}

QByteArray Store::derived(const QString& name, qint64* through) {
    *through = 0;
    if (!open())
        return {};
    Statement select(db, "SELECT through, body FROM derived WHERE name = ?1;");
    if (!select.bind(1, name).row())
        return {};
    *through = select.integer(0);
    return select.blob(1);
}

void Store::keepDerived(const QString& name, qint64 through, const QByteArray& body) {
    if (!open())
        return;
    Statement insert(db,
                     "INSERT OR REPLACE INTO derived(name, through, body) VALUES (?1, ?2, ?3);");
    insert.bind(1, name).bind(2, through).bindBlob(3, body).done();
}

QString Store::setting(const QString& name, const QString& fallback) {
    if (!open())
        return fallback;
    Statement select(db, "SELECT value FROM settings WHERE name = ?1;");
    return select.bind(1, name).row() ? select.text(0) : fallback;
}

void Store::setSetting(const QString& name, const QString& value) {
    if (!open())
        return;
    Statement insert(db, "INSERT OR REPLACE INTO settings(name, value) VALUES (?1, ?2);");
    insert.bind(1, name).bind(2, value).done();
}

}  // namespace History
