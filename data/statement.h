#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// The history's SQL in small pieces: a prepared statement that finalizes itself, statements kept
// prepared for a connection's life, and a read snapshot. Values bind by position from 1, columns
// read from 0.
namespace Sql {

// The statements a finished page runs every time, prepared once: preparing them took a quarter of
// the page's write. Keyed by the address of the SQL text, a literal. Finalizes them when it goes,
// which must be before the connection closes.
class Cache {
  public:
    explicit Cache(sqlite3* db) : db(db) {}
    ~Cache();
    Cache(const Cache&) = delete;
    Cache& operator=(const Cache&) = delete;
    sqlite3* connection() const { return db; }

  private:
    friend class Statement;
    sqlite3_stmt* prepared(const char* sql);

    sqlite3* db;
    QHash<const char*, sqlite3_stmt*> statements;
};

class Statement {
  public:
    Statement(sqlite3* db, const char* sql);
    // Borrowed from the cache and made ready for its next use when done with; one user at a time.
    Statement(Cache& cache, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    explicit operator bool() const { return stmt != nullptr; }
    sqlite3_stmt* operator*() const { return stmt; }

    Statement& bind(int i, const QString& text);
    Statement& bind(int i, qint64 value);
    Statement& bind(int i, int value) { return bind(i, qint64(value)); }
    Statement& bind(int i, double value);
    // An empty blob binds NULL: a page without hints has none.
    Statement& bindBlob(int i, const QByteArray& bytes);
    // Makes the statement ready to run again with these values, the others NULL.
    template <typename... Values>
    Statement& bindAll(const Values&... values) {
        reset();
        int i = 0;
        (bind(++i, values), ...);
        return *this;
    }
    void reset();

    // One step: true when it gave a row, or ran to its end.
    bool row();
    bool done();
    // The result code of one step, for callers that tell a full disk from a broken file.
    int step();

    QString text(int column) const;
    QByteArray blob(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;

  private:
    sqlite3_stmt* stmt = nullptr;
    bool borrowed = false;
};

// One snapshot of the file for several reads, so that another qorvex writing meanwhile cannot make
// them disagree.
class Snapshot {
  public:
    explicit Snapshot(sqlite3* db);
    ~Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

  private:
    sqlite3* db;
    bool open;
};

// Runs SQL without results; true when every statement in it succeeded.
bool execute(sqlite3* db, const char* sql);

}  // namespace Sql
