#include "course/builder/splitcheck.h"

namespace SplitCheck {

namespace {
const QString kStrokeKeys = QStringLiteral("ghtyn");

// A root that is a character by itself: a key name (its key four times), or its key followed by
// stroke keys (first, second, last stroke), padded with "l" after a single stroke.
QString singleRootFailure(QChar key, const QString& code) {
    if (code == QString(4, key))
        return {};
    if (code.size() < 2 || code[0] != key)
        return QStringLiteral("the root's key %1 does not begin the code").arg(key);
    QString strokes = code.mid(1);
    if (strokes.size() >= 2 && strokes.endsWith(QLatin1String("ll")))
        strokes.chop(2);  // a single stroke: key, stroke, "l", "l"
    for (const QChar c : strokes)
        if (!kStrokeKeys.contains(c))
            return QStringLiteral("%1 after the root's key is no stroke key").arg(c);
    return {};
}
}  // namespace

QString failure(const QString& keys, const QString& code) {
    const int n = int(keys.size());
    if (n == 0)
        return QStringLiteral("no roots");
    if (n == 1)
        return singleRootFailure(keys[0], code);
    if (n <= 3) {
        if (code.size() != n + 1)
            return QStringLiteral("%1 roots need a code of %2 letters").arg(n).arg(n + 1);
        if (!code.startsWith(keys))
            return QStringLiteral("keys %1 do not begin the code").arg(keys);
        if (!QLatin1String(kIdentificationCodes).contains(code[n]))
            return QStringLiteral("%1 is no identification code").arg(code[n]);
        return {};
    }
    const QString expected = keys.left(3) + keys.back();
    if (code != expected)
        return QStringLiteral("keys %1 give %2").arg(keys, expected);
    return {};
}

QList<int> shownRoots(int rootCount) {
    if (rootCount <= 4) {
        QList<int> all;
        for (int i = 0; i < rootCount; ++i) all.append(i);
        return all;
    }
    return {0, 1, 2, rootCount - 1};
}

}  // namespace SplitCheck
