#pragma once

#include <QByteArray>
#include <QHash>
#include <QPixmap>
#include <QString>

#include "data/tablefile.h"

struct sqlite3_stmt;

// A table of the data directory with a current row. Rows keep the order they were written in.
// Moves never fail: a move past the last row stays on the last row.
class TTable {
  public:
    TTable(TSession& session, const QString& name);
    ~TTable();

    const QString& name() const { return componentName; }
    TSession& session() const { return owner; }

    void Open(const QString& databaseName, const QString& tableName);
    void Close();
    bool Active() const { return file.handle() != nullptr; }
    // How many tables of the process are open (start-up reports it).
    static int openCount();

    void First();
    void MoveBy(int rows);  // rows >= 0
    void Next() { MoveBy(1); }
    // Position of the current row counted from 0 (for tests and the data-aware picture).
    int RecNo();

    QString FieldAsString(const QString& field);
    // The picture stored in a picture field; an empty field gives a null pixmap.
    QPixmap FieldAsPicture(const QString& field);

    void SetIndexName(const QString& indexName);
    // Exact search on the current index for a key given as GBK bytes; on success the row found
    // becomes the current row.
    bool FindKey(const QByteArray& gbkKey);

  private:
    void requireOpen() const;
    [[noreturn]] void fail(const QString& reason) const;
    // Steps a statement: true for a row, false at its end; a damaged file raises.
    bool step(sqlite3_stmt* s) const;
    sqlite3_stmt* statement(const QString& sql);
    qint64 singleRowid(const QString& sql, qint64 bind = 0);
    QString checkedField(const QString& field) const;
    // Reads `field` of the current row: bound and ready to step; the caller resets it.
    sqlite3_stmt* currentRowField(const QString& field);

    TSession& owner;
    QString componentName;
    TableFile file;
    QStringList columns;
    QHash<QString, sqlite3_stmt*> statements;
    QString openFailure;  // why the last open failed, told again at every later read
    qint64 rowid = 0;
    QString indexColumn;
};
