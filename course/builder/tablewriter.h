#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;

// A field of a practice table. String and memo sizes bind the GBK byte length of the text.
struct FieldDef {
    enum Kind { Real, String, Memo, Picture };
    QString name;
    Kind kind;
    int gbkSize = 0;
};

struct TableLayout {
    QString sqlTable;  // the table's name inside the file
    QList<FieldDef> fields;
    QString indexName;  // empty: no secondary index
    QString indexField;
    // Indexes that only speed up queries, as "name ON %1 (columns)" with %1 for the table.
    QStringList queryIndexes = {};
};

namespace Layouts {
TableLayout practiceText();  // 111.DB
TableLayout codeTable();     // kzWb.DB
TableLayout rootTable();     // wb1.db
}  // namespace Layouts

// Raised for bad course input; the text names the source file and line.
class CourseError : public std::runtime_error {
  public:
    explicit CourseError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Writes one encrypted table file. Rows go to a temporary file beside the target, which replaces
// the target only when commit() succeeds, so a failed build leaves nothing half-written.
class TableWriter {
  public:
    TableWriter(const QString& path, TableLayout layout);
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // Values in field order: double for Real, QString for String and Memo, PNG bytes
    // (QByteArray, empty for none) for Picture. source names the input line for errors.
    void addRow(const QVariantList& values, const QString& source);
    void commit();
    int rowCount() const { return rows; }

  private:
    void exec(const QByteArray& sql);
    void fail(const QString& message);

    QString finalPath;
    QString tempPath;
    TableLayout layout;
    sqlite3* db = nullptr;
    struct sqlite3_stmt* insert = nullptr;
    int rows = 0;
};

// A picture as it is stored in a picture field.
QByteArray pngBytes(const class QImage& image);
