#pragma once

#include <QString>

// The Wubi code table kzWb.DB: every character of the Wubi 86 dictionary that GBK can hold, with
// its short and full code and the pictures of its roots where its split agrees with its code.
namespace CodeTable {

// Reads <course>/wubi (roots.txt, splits.txt, exceptions.txt) and the dictionary, writes the
// table and returns the coverage report. A split in the exceptions file that disagrees with the
// code is an error; a derived split that disagrees only loses its pictures.
QString build(const QString& courseDir, const QString& dictionaryPath, const QString& outPath);

}  // namespace CodeTable
