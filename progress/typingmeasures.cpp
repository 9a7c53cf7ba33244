#include "progress/typingmeasures.h"

#include "progress/wordtable.h"

namespace {

QString letters(const QString& preedit) {
    QString code;
    for (QChar c : preedit)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            code += c;
    return code;
}

bool isHan(QChar c) {
    return c.unicode() >= 0x3400 && c.unicode() < 0xA000;
}

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

}  // namespace

double TypingMeasures::speed() const {
    return ms > 0 ? characters * 60000.0 / ms : 0;
}

double TypingMeasures::keysPerSecond() const {
    return ms > 0 ? keys * 1000.0 / ms : 0;
}

double TypingMeasures::codeLength() const {
    return characters ? double(keys) / characters : 0;
}

double TypingMeasures::idealCodeLength() const {
    return characters ? double(idealKeys) / characters : 0;
}

double TypingMeasures::keyAccuracy() const {
    if (keys == 0)
        return 0;
    const double kept = keys - backspaces - erased * codeLength();
    return qMax(0.0, kept / keys);
}

double TypingMeasures::wordRate() const {
    return committed ? double(wordCharacters) / committed : 0;
}

double TypingMeasures::accuracy() const {
    return characters ? double(characters - qMin(wrong, characters)) / characters : 0;
}

QString TypingMeasures::resultLine(int section, const QString& inputMethod) const {
    return QStringLiteral(
               "第%1段 速度%2 击键%3 码长%4(理想%5) 字数%6 错字%7 用时%8秒 键准%9% "
               "回改%10 打词率%11% 输入法:%12 qorvex")
        .arg(section)
        .arg(number(speed(), 2), number(keysPerSecond(), 2), number(codeLength(), 2),
             idealKeys > 0 ? number(idealCodeLength(), 2) : QStringLiteral("-"))
        .arg(characters)
        .arg(wrong)
        .arg(number(ms / 1000.0, 1), number(keyAccuracy() * 100, 1))
        .arg(erased)
        .arg(number(wordRate() * 100, 1), inputMethod);
}

QString TypingMeasures::liveLine() const {
    return QStringLiteral("速度 %1　击键 %2　码长 %3")
        .arg(number(speed(), 1), number(keysPerSecond(), 2), number(codeLength(), 2));
}

TypingMeasures TypingMeasures::fromStrokes(const QList<History::Stroke>& strokes, qint64 ms,
                                           const WordTable& table) {
    TypingMeasures m;
    m.ms = ms;
    const auto keysOf = [&](const QString& character, const QString& code) {
        if (!code.isEmpty())
            return int(code.size()) + 1;
        if (character.isEmpty() || !isHan(character[0]))
            return 1;
        const int full = table.fullCodeLength(character);
        return full > 0 ? full : 4;
    };
    QString text;
    for (const History::Stroke& s : strokes) {
        text += s.character;
        ++m.characters;
        m.keys += keysOf(s.character, s.code);
        for (const QString& wrong : s.wrongs) m.keys += keysOf(wrong, {});
        m.wrong += s.wrong > 0 ? 1 : 0;
    }
    m.committed = m.characters;
    m.idealKeys = table.isEmpty() ? 0 : table.ideal(text).keys;
    return m;
}

QString TypingMeasures::detailLine() const {
    return QStringLiteral("准确率 %1%　退格 %2　选重 %3　打词 %4 字")
        .arg(number(accuracy() * 100, 1))
        .arg(backspaces)
        .arg(selections)
        .arg(wordCharacters);
}

void KeyCounter::reset() {
    *this = KeyCounter(table);
}

void KeyCounter::inputMethod(const QString& commit, const QString& preedit) {
    const QString before = code;
    code = letters(preedit);
    if (!commit.isEmpty()) {
        // A letter that commits the code before and opens the next one is counted as a letter.
        counted(commit, !before.isEmpty() && code.isEmpty(), before);
        keys += int(code.size());
        return;
    }
    if (code.startsWith(before)) {
        keys += int(code.size() - before.size());
    } else if (before.startsWith(code)) {
        const int dropped = int(before.size() - code.size());
        keys += dropped;
        backspaces += dropped;
    } else {
        keys += int(code.size());
    }
}

void KeyCounter::counted(const QString& commit, bool afterCode, const QString& codeBefore) {
    int han = 0;
    for (QChar c : commit) han += isHan(c) ? 1 : 0;
    committed += int(commit.size());
    if (han >= 2)
        wordCharacters += han;
    // The word is what the code stood for; a punctuation mark after it committed it.
    QString word = commit;
    while (!word.isEmpty() && !isHan(word.back())) word.chop(1);
    if (!codeBefore.isEmpty() && table && !word.isEmpty() && table->place(word, codeBefore) > 0)
        ++selections;
    if (afterCode || !codeBefore.isEmpty()) {
        keys += afterCode ? 1 : 0;
        return;
    }
    // Nothing was shown: a full code committed at its last letter, or a mark from its key.
    if (!word.isEmpty()) {
        const int full = table ? table->fullCodeLength(word) : 0;
        keys += full > 0 ? full : 4 * int(word.size());
    }
    keys += int(commit.size() - word.size());
}

void KeyCounter::backspace(int erasedCharacters) {
    ++keys;
    ++backspaces;
    erased += qMax(0, erasedCharacters);
}

void KeyCounter::typed(const QString& text) {
    keys += int(text.size());
}

void KeyCounter::fill(TypingMeasures& measures) const {
    measures.keys = keys;
    measures.backspaces = backspaces;
    measures.erased = erased;
    measures.committed = committed;
    measures.wordCharacters = wordCharacters;
    measures.selections = selections;
}
