#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A line of a course source: its fields split at tabs, and where it stands for error messages.
struct SourceLine {
    QStringList fields;
    QString where;  // "course/texts/111.txt:12"
};

// Reads a UTF-8 course source. Lines starting with "#" and blank lines are skipped.
QList<SourceLine> readSourceLines(const QString& path);
