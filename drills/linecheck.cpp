#include "drills/linecheck.h"

#include "platform/gbk.h"

namespace LineCheck {

namespace {
// The bytes at positions length - 1 and length, counted from 1; the first two bytes for a
// length of 0 or 1.
QByteArray lastPair(const QByteArray& bytes, qsizetype length) {
    return bytes.mid(qMax<qsizetype>(0, length - 2), 2);
}
}  // namespace

Verdict check(const QByteArray& box, const QByteArray& line) {
    const qsizetype length = box.size();
    const QByteArray typed = box.right(qMin<qsizetype>(2, length));
    QByteArray expected = lastPair(line, length);
    if (typed.size() != expected.size())
        expected.truncate(1);
    if (typed != expected || length == 0)
        return Verdict::Wrong;
    return length < line.size() ? Verdict::Going : Verdict::LineDone;
}

QByteArray hintKey(const QByteArray& line, int caret) {
    return line.mid(qMax(0, caret), 2);
}

int wrongCharacterStart(const QString& box) {
    const int length = Gbk::byteLength(box);
    return length == 0 ? 0 : Gbk::charPosition(box, length - 1);
}

}  // namespace LineCheck
