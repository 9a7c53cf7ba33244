#include "progress/ranking.h"

#include <algorithm>

#include "progress/textfeed.h"

namespace Ranking {

namespace {
char32_t codePoint(QStringView character) {
    if (character.size() == 2 && character[0].isHighSurrogate())
        return QChar::surrogateToUcs4(character[0], character[1]);
    return character.isEmpty() ? 0 : character[0].unicode();
}
}  // namespace

void CharacterTally::add(QStringView character, quint32 ms, quint32 wrong, bool firstOfPage) {
    Tally& t = tallies[codePoint(character)];
    ++t.met;
    t.wrong += int(wrong);
    if (!firstOfPage)
        t.times.append(ms);
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
        if (!it->times.isEmpty()) {
            QList<quint32> times = it->times;
            auto middle = times.begin() + times.size() / 2;
            std::nth_element(times.begin(), middle, times.end());
            score.medianMs = *middle;
        }
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

void KeyTally::add(QStringView key, quint32 wrong) {
    KeyScore& score = keys[key.toString()];
    score.key = key.toString();
    ++score.right;
    score.wrong += int(wrong);
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
