#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

// The course built next to the benchmarks (<build>/drive); QORVEX_BUILT_DRIVE overrides it.
inline QString builtDrive() {
    const QString set = qEnvironmentVariable("QORVEX_BUILT_DRIVE");
    return set.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath("../drive") : set;
}
