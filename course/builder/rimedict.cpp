#include "course/builder/rimedict.h"

#include <QFile>

#include "course/builder/tablewriter.h"

namespace RimeDict {

void forEachRow(const QString& path, const QString& package,
                const std::function<void(const QStringList& fields, int number)>& row) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw CourseError(QStringLiteral("%1: %2 (install the package %3)")
                              .arg(path, file.errorString(), package));
    bool inBody = false;
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!inBody) {
            inBody = line == QLatin1String("...");
            continue;
        }
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            row(line.split(QLatin1Char('\t')), number);
    }
    if (!inBody)
        throw CourseError(path + ": no dictionary body after the \"...\" line");
}

}  // namespace RimeDict
