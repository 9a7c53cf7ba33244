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
    if (typed != expected || length == 0 || Gbk::holdsUnmappable(typed))
        return Verdict::Wrong;
    return length < line.size() ? Verdict::Going : Verdict::LineDone;
}

namespace {
// UTF-16 position of the first character in box[from, to) that is wrong where it stands, each
// judged by check() on the box's bytes up to and including it; -1 when all are right.
int firstWrongAdded(const QString& box, const QByteArray& bytes, int from, int to,
                    const QByteArray& line) {
    to = qMin(to, int(box.size()));
    for (int i = qMax(0, from); i < to;) {
        const bool pair =
            box[i].isHighSurrogate() && i + 1 < box.size() && box[i + 1].isLowSurrogate();
        const int end = i + (pair ? 2 : 1);
        if (check(bytes.left(Gbk::bytePosition(box, end)), line) == Verdict::Wrong)
            return i;
        i = end;
    }
    return -1;
}

}  // namespace

Judgement judge(const QString& box, int addedFrom, int addedTo, const QByteArray& line) {
    int added = 0;  // characters: a surrogate pair is one
    for (int i = qMax(0, addedFrom); i < qMin(addedTo, int(box.size())); ++i)
        added += !box[i].isLowSurrogate();
    const QByteArray bytes = Gbk::encode(box);
    if (added > 1) {
        const int wrong = firstWrongAdded(box, bytes, addedFrom, addedTo, line);
        if (wrong >= 0)
            return {Verdict::Wrong, wrong, wrong > qMax(0, addedFrom)};
    }
    const Verdict verdict = check(bytes, line);
    return {verdict, verdict == Verdict::Wrong ? wrongCharacterStart(box) : 0};
}

QByteArray hintKey(const QByteArray& line, int caret) {
    return line.mid(qMax(0, caret), 2);
}

int wrongCharacterStart(const QString& box) {
    const int length = Gbk::byteLength(box);
    return length == 0 ? 0 : Gbk::charPosition(box, length - 1);
}

}  // namespace LineCheck
