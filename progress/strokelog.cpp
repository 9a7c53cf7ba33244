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
    const QStringView added = QStringView(text).mid(before);
    const auto width = [&](qsizetype i) {
        return added[i].isHighSurrogate() && i + 1 < added.size() ? 2 : 1;
    };
    quint32 count = 0;
    for (qsizetype i = 0; i < added.size(); i += width(i)) ++count;
    quint32 k = 0;
    for (qsizetype i = 0; i < added.size(); i += width(i), ++k)
        list.append({added.mid(i, width(i)).toString(),
                     since / count + (k == 0 ? since % count : 0), k == 0 ? wrongHere : 0});
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
