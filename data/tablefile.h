#pragma once

#include <QString>

#include "data/session.h"

struct sqlite3;

// An SQL identifier in double quotes, any quote in it doubled.
QString quoted(const QString& identifier);

// An open table file of the data directory: a read-only SQLCipher database holding one table.
// Every table and query of the process on the same file shares one connection to it; each keeps
// its own statements.
class TableFile {
  public:
    TableFile() = default;
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // Opens "<directory>\<name>" (the directory by the path rule, the name matched without regard
    // to case). A keyed file needs its password in the session's list; the session's handler is
    // asked once when the list lacks it. A file that cannot be opened raises a lasting AppError
    // naming it.
    void open(TSession& session, const QString& directory, const QString& name);
    void close();

    sqlite3* handle() const;
    const QString& tableName() const;  // the SQL table inside the file
    // The file on disk, as the pupil's messages name it; the name asked for until one was found.
    const QString& path() const { return filePath; }

    // The engine's last error on this file, in words the pupil can act on.
    QString problem() const;

    struct Connection;

  private:
    static Connection* connectFirst(TSession& session, const QString& path, const QByteArray& id);

    Connection* connection = nullptr;
    QString filePath;
};

// Finds the file of the folder whose name equals name without regard to case.
QString findFileIgnoringCase(const QString& folder, const QString& name);
