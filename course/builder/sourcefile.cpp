#include "course/builder/sourcefile.h"

#include <QFile>

#include "course/builder/tablewriter.h"

QList<SourceLine> readSourceLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CourseError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    QList<SourceLine> lines;
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        QString line = QString::fromUtf8(file.readLine());
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        lines.append(
            {line.split(QLatin1Char('\t')), QStringLiteral("%1:%2").arg(path).arg(number)});
    }
    return lines;
}
