#include "media/modulefolders.h"

#include <QCoreApplication>
#include <QDir>

namespace ModuleFolders {

QStringList searched() {
    QStringList folders;
    const QString chosen = qEnvironmentVariable("QORVEX_MODULE_DIR");
    if (!chosen.isEmpty())
        folders << QDir::cleanPath(chosen);
    // Whoever can write the program's folder can replace the program itself, so a module there is
    // no more dangerous than the program; installed, that is /usr/bin, writable by root only.
    const QString program = QCoreApplication::applicationDirPath();
    folders << program
            << QDir::cleanPath(program + QStringLiteral("/" QORVEX_MODULES_FROM_PROGRAM));
    folders.removeDuplicates();
    return folders;
}

}  // namespace ModuleFolders
