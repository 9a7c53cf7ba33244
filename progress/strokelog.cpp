#include "progress/strokelog.h"

void StrokeLog::reset() {
    list.clear();
    accepted.clear();
    wrongHere = 0;
    wrongsHere.clear();
    code.clear();
}

namespace {
QString codeLetters(const QString& shown) {
    QString letters;
    for (QChar c : shown)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            letters += c;
    return letters;
}
}  // namespace

void StrokeLog::composed(const QString& typed, bool hintShowing) {
    code = codeLetters(typed);
    hinted = hintShowing;
}

void StrokeLog::gaveUp(const QString& shown) {
    const QString letters = codeLetters(shown);
    if (letters.isEmpty())
        return;
    ++wrongHere;
    wrongsHere << letters;
}

void StrokeLog::changed(int box, const QString& text, bool right, uint32_t now,
                        uint32_t clockStart) {
    const qsizetype before = accepted.value(box);
    if (text.isEmpty() || text.size() < before) {
        accepted[box] = text.size();  // deleted, or emptied by the program
        return;
    }
    const QString typed = code;
    code.clear();
    if (!right) {
        ++wrongHere;
        wrongsHere << text.mid(before);
        return;
    }
    if (text.size() == before)
        return;
    // The first character of the first box starts a new attempt at the page, as it restarts the
    // drill's clock.
    if (box == 1 && before == 0)
        list.clear();
    const bool first = list.isEmpty();
    const quint32 since =
        first ? quint32(uint32_t(now - clockStart)) : quint32(uint32_t(now - last));
    // An input method may commit several characters at once; they share its time.
    const QStringView added = QStringView(text).mid(before);
    const auto width = [&](qsizetype i) {
        return added[i].isHighSurrogate() && i + 1 < added.size() ? 2 : 1;
    };
    quint32 count = 0;
    for (qsizetype i = 0; i < added.size(); i += width(i)) ++count;
    quint32 k = 0;
    for (qsizetype i = 0; i < added.size(); i += width(i), ++k) {
        History::Stroke stroke{added.mid(i, width(i)).toString(),
                               since / count + (k == 0 ? since % count : 0),
                               k == 0 ? wrongHere : 0};
        if (k == 0) {
            stroke.code = typed;
            stroke.wrongs = wrongsHere;
        }
        stroke.hinted = hinted;
        list.append(stroke);
    }
    wrongHere = 0;
    wrongsHere.clear();
    last = now;
    accepted[box] = text.size();
}

QList<History::Stroke> StrokeLog::take() {
    QList<History::Stroke> page = list;
    reset();
    return page;
}

int RootItemLog::recordOf(QStringView character) {
    const int code = character.size() == 1 ? character[0].unicode() - kFirst : -1;
    return code >= 0 && code < 0x1000 ? code : -1;
}

void RootItemLog::pageShown(const QList<int>& records, uint32_t now) {
    items.clear();
    for (int record : records) items.append({QString(itemCharacter(record)), 0, 0});
    last = now;
}

void RootItemLog::answered(int item, QChar letter, bool right, uint32_t now) {
    if (item < 1 || item > items.size())
        return;
    History::Stroke& stroke = items[item - 1];
    if (!right) {
        ++stroke.wrong;
        stroke.wrongs << QString(letter).toLower();
        return;
    }
    stroke.ms = quint32(uint32_t(now - last));
    last = now;
}

QList<History::Stroke> RootItemLog::take() {
    QList<History::Stroke> page = items;
    items.clear();
    return page;
}

namespace Progress {

StrokeLog& textLog() {
    static StrokeLog log;
    return log;
}

StrokeLog& fingerLog() {
    static StrokeLog log;
    return log;
}

RootItemLog& rootLog() {
    static RootItemLog log;
    return log;
}

}  // namespace Progress
