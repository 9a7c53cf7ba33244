#include "progress/ranking.h"

#include <algorithm>

#include "data/history.h"
#include "progress/textfeed.h"

namespace Ranking {

namespace {
char32_t codePoint(QStringView character) {
    if (character.size() == 2 && character[0].isHighSurrogate())
        return QChar::surrogateToUcs4(character[0], character[1]);
    return character.isEmpty() ? 0 : character[0].unicode();
}

// The upper middle of the times, counted through them in time order.
quint32 median(QList<QPair<quint32, qint64>> times) {
    std::sort(times.begin(), times.end());
    qint64 total = 0;
    for (const auto& [ms, count] : times) total += count;
    qint64 seen = 0;
    for (const auto& [ms, count] : times)
        if ((seen += count) > total / 2)
            return ms;
    return 0;
}
}  // namespace

QList<CharacterScore> weakestIn(History::Store& store, int count) {
    CharacterTally tally;
    store.forEachTotal(History::kText, [&](QStringView c, qint64 met, qint64 wrong) {
        tally.addMet(c, met, wrong);
    });
    store.forEachTime(History::kText, tally.contenders(count),
                      [&](QStringView c, quint32 ms, qint64 n) { tally.addTime(c, ms, n); });
    return tally.weakest(count);
}

void CharacterTally::addMet(QStringView character, qint64 met, qint64 wrong) {
    Tally& t = tallies[codePoint(character)];
    t.met += met;
    t.wrong += wrong;
}

void CharacterTally::addTime(QStringView character, quint32 ms, qint64 count) {
    tallies[codePoint(character)].times.append({ms, count});
}

QStringList CharacterTally::contenders(int count) const {
    QList<qint64> wrong;
    for (const Tally& t : tallies)
        if (t.met >= kMinimumMet)
            wrong.append(t.wrong);
    if (wrong.isEmpty() || count <= 0)
        return {};
    const qsizetype last = qMin<qsizetype>(count, wrong.size()) - 1;
    std::nth_element(wrong.begin(), wrong.begin() + last, wrong.end(), std::greater<>());
    const qint64 least = wrong[last];
    QStringList characters;
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it)
        if (it->met >= kMinimumMet && it->wrong >= least) {
            const char32_t c = it.key();
            characters << QString::fromUcs4(&c, 1);
        }
    return characters;
}

QList<CharacterScore> CharacterTally::weakest(int count) const {
    QList<CharacterScore> scores;
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it) {
        if (it->met < kMinimumMet)
            continue;
        CharacterScore score;
        const char32_t c = it.key();
        score.character = QString::fromUcs4(&c, 1);
        score.met = it->met;
        score.wrong = it->wrong;
        score.medianMs = median(it->times);
        scores.append(score);
    }
    std::sort(scores.begin(), scores.end(), [](const CharacterScore& a, const CharacterScore& b) {
        if (a.wrong != b.wrong)
            return a.wrong > b.wrong;
        if (a.medianMs != b.medianMs)
            return a.medianMs > b.medianMs;
        return a.character.toUcs4() < b.character.toUcs4();
    });
    if (scores.size() > count)
        scores.resize(count);
    return scores;
}

QList<KeyScore> keysIn(History::Store& store) {
    KeyTally tally;
    store.forEachTotal(History::kFinger, [&](QStringView key, qint64 met, qint64 wrong) {
        tally.add(key, met, wrong);
    });
    return tally.ranked();
}

void KeyTally::add(QStringView key, qint64 strokes, qint64 wrong) {
    KeyScore& score = keys[key.toString()];
    score.key = key.toString();
    score.right += strokes;
    score.wrong += wrong;
}

QList<KeyScore> KeyTally::ranked() const {
    QList<KeyScore> scores = keys.values();
    std::sort(scores.begin(), scores.end(), [](const KeyScore& a, const KeyScore& b) {
        if (a.rate() != b.rate())
            return a.rate() > b.rate();
        if (a.wrong != b.wrong)
            return a.wrong > b.wrong;
        return a.key < b.key;
    });
    return scores;
}

QStringList practicePage(const QStringList& characters, QRandomGenerator& random) {
    if (characters.isEmpty())
        return {};
    if (characters.size() == 1)
        return {characters.first()};
    // Rounds of the whole set in a new order each; a round that would begin with the character
    // just typed begins with another instead.
    const int total = TextFeed::kPageLines * TextFeed::kLineLength;
    QStringList sequence;
    while (sequence.size() < total) {
        QStringList round = characters;
        std::shuffle(round.begin(), round.end(), random);
        if (!sequence.isEmpty() && round.first() == sequence.last())
            round.swapItemsAt(0, 1 + int(random.bounded(quint32(round.size() - 1))));
        sequence += round;
    }
    sequence.resize(total);
    QStringList page;
    for (int i = 0; i < total; i += TextFeed::kLineLength)
        page << sequence.mid(i, TextFeed::kLineLength).join(QString());
    return page;
}

}  // namespace Ranking
