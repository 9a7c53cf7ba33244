#pragma once

#include <QStringList>

// Where the program looks for the modules it loads at run time (the music output, the record
// window's chart). Only folders as trustworthy as the program itself are searched: a library
// found there runs inside the pupil's program.
namespace ModuleFolders {

// In order: the folder named by the environment variable QORVEX_MODULE_DIR when it is set (the
// tests, which run from folders of their own), the program's own folder (a program run from its
// build tree), and the installed modules' folder, found from the program's own place so that an
// install staged anywhere loads its own modules.
QStringList searched();

}  // namespace ModuleFolders
