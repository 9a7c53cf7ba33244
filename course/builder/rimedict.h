#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The body of a Rime dictionary file (text, code, weight, tab-separated, after the "..." line),
// as the course builder reads Debian's rime-data packages.
namespace RimeDict {

// Calls row with the fields and line number of each body line that is neither empty nor a
// comment. Throws CourseError, naming the package to install, when the file cannot be read or
// has no body.
void forEachRow(const QString& path, const QString& package,
                const std::function<void(const QStringList& fields, int number)>& row);

}  // namespace RimeDict
