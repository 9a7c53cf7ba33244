#include "progress/strokelog.h"

void StrokeLog::reset() {
    list.clear();
    accepted.clear();
    wrongHere = 0;
}

void StrokeLog::changed(int box, const QString& text, bool right, uint32_t now,
                        uint32_t clockStart) {
    const qsizetype before = accepted.value(box);
    if (text.isEmpty() || text.size() < before) {
        accepted[box] = text.size();  // deleted, or emptied by the program
        return;
    }
    if (!right) {
        ++wrongHere;
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
    const QString added = text.mid(before);
    QStringList characters;
    for (qsizetype i = 0; i < added.size(); ++i) {
        const qsizetype n = added[i].isHighSurrogate() && i + 1 < added.size() ? 2 : 1;
        characters << added.mid(i, n);
        i += n - 1;
    }
    const auto count = quint32(characters.size());
    for (quint32 i = 0; i < count; ++i)
        list.append({characters[int(i)], since / count + (i == 0 ? since % count : 0),
                     i == 0 ? wrongHere : 0});
    wrongHere = 0;
    last = now;
    accepted[box] = text.size();
}

QList<History::Stroke> StrokeLog::take() {
    QList<History::Stroke> page = list;
    reset();
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

}  // namespace Progress
