#include "drills/fingerline.h"

namespace FingerLine {

QString nextKey(const QString& line, int selectionStart) {
    if (selectionStart < 0 || selectionStart >= line.size())
        return QString();
    return line.mid(selectionStart, 1);
}

bool lastCharMatches(const QString& box, const QString& line) {
    const qsizetype length = box.size();
    if (length == 0 || length > line.size())
        return false;
    return box.at(length - 1) == line.at(length - 1);
}

}  // namespace FingerLine
