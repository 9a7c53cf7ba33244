#include "course/builder/practicetable.h"

#include "course/builder/sourcefile.h"
#include "course/builder/tablewriter.h"

namespace PracticeTable {

QList<QString> readSource(const QString& path, int expectedRows) {
    QList<QString> rows;
    for (const SourceLine& line : readSourceLines(path)) {
        bool ok = false;
        const int row = line.fields.value(0).toInt(&ok);
        if (!ok || line.fields.size() != 2)
            throw CourseError(line.where + ": expected \"<row><TAB><text>\"");
        if (row != rows.size() + 1)
            throw CourseError(QStringLiteral("%1: row %2 where row %3 was expected")
                                  .arg(line.where)
                                  .arg(row)
                                  .arg(rows.size() + 1));
        rows.append(line.fields[1]);
    }
    if (rows.size() < expectedRows)
        throw CourseError(QStringLiteral("%1: %2 rows, the lesson catalogue needs %3")
                              .arg(path)
                              .arg(rows.size())
                              .arg(expectedRows));
    return rows;
}

void write(const QString& path, const QList<QString>& rows) {
    TableWriter writer(path, Layouts::practiceText());
    for (int i = 0; i < rows.size(); ++i)
        writer.addRow({double(i + 1), rows[i]}, QStringLiteral("row %1").arg(i + 1));
    writer.commit();
}

}  // namespace PracticeTable
