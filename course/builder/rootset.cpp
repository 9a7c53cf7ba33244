#include "course/builder/rootset.h"

#include "course/builder/sourcefile.h"
#include "course/builder/tablewriter.h"

RootSet RootSet::read(const QString& path) {
    RootSet set;
    for (const SourceLine& line : readSourceLines(path)) {
        const QString key = line.fields.value(0);
        const QString root = line.fields.value(1);
        if (line.fields.size() < 2 || line.fields.size() > 3 || key.size() != 1 ||
            key[0] < QLatin1Char('a') || key[0] > QLatin1Char('y') || root.isEmpty())
            throw CourseError(line.where + ": expected \"<key a-y><TAB><root>[<TAB><variants>]\"");
        if (set.keys.contains(root))
            throw CourseError(QStringLiteral("%1: root %2 is listed twice").arg(line.where, root));
        set.keys.insert(root, key[0]);
        set.order.append(root);
    }
    return set;
}
