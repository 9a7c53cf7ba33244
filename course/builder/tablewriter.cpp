#include "course/builder/tablewriter.h"

#include <sqlite3.h>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "data/cipher.h"
#include "data/session.h"
#include "platform/gbk.h"

namespace Layouts {

TableLayout practiceText() {
    return {"Text", {{"Item", FieldDef::Real, 8}, {"文字", FieldDef::String, 80}}, {}, {}};
}

TableLayout codeTable() {
    return {"Kzwb",
            {{"文字", FieldDef::String, 8},
             {"简码", FieldDef::String, 4},
             {"全码", FieldDef::String, 4},
             {"Pic1", FieldDef::Picture, 0},
             {"Pic2", FieldDef::Picture, 0},
             {"Pic3", FieldDef::Picture, 0},
             {"Pic4", FieldDef::Picture, 0}},
            "WZindex",
            "文字",
            // The code lookup's LIKE on the full code: a prefix is a range of this index, and as
            // it holds the three columns shown, a list of every code reads no picture pages.
            {"QMindex ON %1 (\"全码\" COLLATE NOCASE, \"文字\", \"简码\")"}};
}

TableLayout rootTable() {
    return {"Wb1",
            {{"No", FieldDef::String, 4},
             {"Pic", FieldDef::Picture, 0},
             {"Key", FieldDef::String, 1},
             {"Mem", FieldDef::Memo, 240}},
            {},
            {}};
}

}  // namespace Layouts

namespace {
QString quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString sqlType(FieldDef::Kind kind) {
    switch (kind) {
        case FieldDef::Real:
            return "REAL";
        case FieldDef::Picture:
            return "BLOB";
        default:
            return "TEXT";
    }
}
}  // namespace

QByteArray pngBytes(const QImage& image) {
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", 9);
    return bytes;
}

TableWriter::TableWriter(const QString& path, TableLayout tableLayout)
    : finalPath(path), tempPath(path + ".part"), layout(std::move(tableLayout)) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(tempPath);
    if (sqlite3_open_v2(QFile::encodeName(tempPath).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        fail(QStringLiteral("cannot create %1").arg(tempPath));
    if (!Cipher::applyKey(db, kTablePassword))
        fail(QStringLiteral("cannot key %1").arg(tempPath));

    QStringList columns, marks;
    for (const FieldDef& f : layout.fields) {
        columns << quoted(f.name) + ' ' + sqlType(f.kind);
        marks << "?";
    }
    exec(QStringLiteral("CREATE TABLE %1 (%2)")
             .arg(quoted(layout.sqlTable), columns.join(", "))
             .toUtf8());
    exec("BEGIN");
    const QByteArray sql = QStringLiteral("INSERT INTO %1 VALUES (%2)")
                               .arg(quoted(layout.sqlTable), marks.join(", "))
                               .toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr) != SQLITE_OK)
        fail(QString::fromUtf8(sqlite3_errmsg(db)));
}

TableWriter::~TableWriter() {
    if (insert)
        sqlite3_finalize(insert);
    if (db)
        sqlite3_close_v2(db);
    QFile::remove(tempPath);
}

void TableWriter::exec(const QByteArray& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : "unknown error");
        sqlite3_free(error);
        fail(message);
    }
}

void TableWriter::fail(const QString& message) {
    throw CourseError(QStringLiteral("%1: %2").arg(QFileInfo(finalPath).fileName(), message));
}

void TableWriter::addRow(const QVariantList& values, const QString& source) {
    if (values.size() != layout.fields.size())
        throw CourseError(QStringLiteral("%1: expected %2 fields, got %3")
                              .arg(source)
                              .arg(layout.fields.size())
                              .arg(values.size()));
    for (int i = 0; i < values.size(); ++i) {
        const FieldDef& f = layout.fields[i];
        switch (f.kind) {
            case FieldDef::Real:
                sqlite3_bind_double(insert, i + 1, values[i].toDouble());
                break;
            case FieldDef::Picture: {
                const QByteArray png = values[i].toByteArray();
                if (png.isEmpty())
                    sqlite3_bind_null(insert, i + 1);
                else
                    sqlite3_bind_blob(insert, i + 1, png.constData(), int(png.size()),
                                      SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QString text = values[i].toString();
                if (!Gbk::canEncode(text))
                    throw CourseError(
                        QStringLiteral("%1: field %2 holds text GBK cannot encode: %3")
                            .arg(source, f.name, text));
                if (Gbk::byteLength(text) > f.gbkSize)
                    throw CourseError(
                        QStringLiteral("%1: field %2 is %3 GBK bytes, longer than its %4: %5")
                            .arg(source, f.name)
                            .arg(Gbk::byteLength(text))
                            .arg(f.gbkSize)
                            .arg(text));
                const QByteArray utf8 = text.toUtf8();
                sqlite3_bind_text(insert, i + 1, utf8.constData(), int(utf8.size()),
                                  SQLITE_TRANSIENT);
            }
        }
    }
    if (sqlite3_step(insert) != SQLITE_DONE)
        throw CourseError(
            QStringLiteral("%1: %2").arg(source, QString::fromUtf8(sqlite3_errmsg(db))));
    sqlite3_reset(insert);
    sqlite3_clear_bindings(insert);
    ++rows;
}

void TableWriter::commit() {
    if (!layout.indexName.isEmpty())
        exec(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                 .arg(quoted(layout.indexName), quoted(layout.sqlTable), quoted(layout.indexField))
                 .toUtf8());
    for (const QString& index : layout.queryIndexes)
        exec(("CREATE INDEX " + index.arg(quoted(layout.sqlTable))).toUtf8());
    exec("COMMIT");
    sqlite3_finalize(insert);
    insert = nullptr;
    sqlite3_close_v2(db);
    db = nullptr;
    QFile::remove(finalPath);
    if (!QFile::rename(tempPath, finalPath))
        throw CourseError(QStringLiteral("cannot replace %1").arg(finalPath));
}
