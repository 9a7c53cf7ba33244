#pragma once

#include <QString>

#include "data/session.h"

struct sqlite3;

// An open table file of the data directory: a read-only SQLCipher database holding one table.
class TableFile {
  public:
    TableFile() = default;
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // Opens "<directory>\<name>" (the directory by the path rule, the name matched without regard
    // to case), trying the session's passwords and asking its handler once when they fail. A file
    // that cannot be opened raises a lasting AppError naming it.
    void open(TSession& session, const QString& directory, const QString& name);
    void close();

    sqlite3* handle() const { return db; }
    const QString& tableName() const { return table; }  // the SQL table inside the file
    // The file on disk, as the pupil's messages name it; the name asked for until one was found.
    const QString& path() const { return filePath; }

    // The engine's last error on this file, in words the pupil can act on.
    QString problem() const;

  private:
    bool tryPasswords(const QString& path, const QStringList& passwords);

    sqlite3* db = nullptr;
    QString table;
    QString filePath;
};

// Finds the file of the folder whose name equals name without regard to case.
QString findFileIgnoringCase(const QString& folder, const QString& name);
