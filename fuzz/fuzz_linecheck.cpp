// The text drill's line check: a line typed character by character is going, then done; a wrong
// character after a right prefix is wrong, whatever it is.
#include <QStringList>

#include "drills/linecheck.h"
#include "fuzzinput.h"
#include "platform/gbk.h"

namespace {
// The characters of the text as a list of code points (surrogate pairs kept together).
QStringList characters(const QString& text) {
    QStringList list;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        list.append(text.mid(i, pair ? 2 : 1));
        i += pair;
    }
    return list;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const QStringList all = characters(textFromBytes(data + 1, size - 1));
    if (all.size() < 2)
        return 0;
    // The line is all but the last input character, which is the one typed wrong. Only a line
    // GBK holds in full can be typed through; a character it cannot hold matches nothing.
    const QStringList line = all.mid(0, all.size() - 1);
    bool typable = true;
    for (const QString& c : line) typable = typable && Gbk::canEncode(c);
    const QByteArray lineBytes = Gbk::encode(line.join(QString()));

    QString typed;
    for (qsizetype k = 0; typable && k < line.size(); ++k) {
        typed += line[k];
        const auto verdict = LineCheck::check(Gbk::encode(typed), lineBytes);
        FUZZ_ASSERT(verdict == (k + 1 < line.size() ? LineCheck::Verdict::Going
                                                    : LineCheck::Verdict::LineDone));
    }

    const qsizetype at = data[0] % line.size();
    const QString wrong = all.last();
    const QString prefix = line.mid(0, at).join(QString());
    if (!Gbk::canEncode(prefix) ||
        (Gbk::canEncode(wrong) && Gbk::encode(wrong) == Gbk::encode(line[at])))
        return 0;
    FUZZ_ASSERT(LineCheck::check(Gbk::encode(prefix + wrong), lineBytes) ==
                LineCheck::Verdict::Wrong);
    return 0;
}
