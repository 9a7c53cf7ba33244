#include "bench/teaching/sitting.h"

#include <QDateTime>
#include <algorithm>

#include "drills/pagetiming.h"
#include "platform/gbk.h"
#include "progress/strokelog.h"

namespace {

// Erasing a wrong commit or the letters of a code with no candidate.
constexpr double kEraseMs = 600;
// A pupil who gets one character wrong three times copies it from the hint letter by letter.
constexpr int kTries = 3;

QStringList charactersOf(const QString& line) {
    QStringList result;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const int width = line[i].isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        result << line.mid(i, width);
        i += width - 1;
    }
    return result;
}

History::Page finished(const QString& drill, qint64 now, qint64 ms) {
    History::Page page;
    page.at = QDateTime::fromMSecsSinceEpoch(now, Qt::UTC);
    page.drill = drill;
    page.ms = ms;
    return page;
}

// One character of a text page, tried until it comes out right.
History::Stroke typeCharacter(Pupil& pupil, const InputMethod& im, const QString& character,
                              qint64& now, QRandomGenerator& random, PageCounts& counts) {
    History::Stroke stroke{character};
    stroke.hinted = true;
    double since = 0;
    for (int tries = 0;; ++tries) {
        const Pupil::Attempt a = pupil.type(character, true, tries > 0, now, random);
        since += a.ms;
        now += qint64(a.ms);
        const QString out = tries < kTries ? im.commit(a.code, character) : character;
        if (out == character) {
            pupil.learn(character, a, now);
            stroke.code = a.code;
            counts.rightFirstTime += tries == 0;
            counts.unaided += tries == 0 && !a.readHint;
            break;
        }
        pupil.corrected(character, a);
        if (!out.isEmpty()) {
            ++stroke.wrong;
            stroke.wrongs << out;
            ++counts.wrongCommits;
        } else {
            ++counts.erased;
        }
        since += kEraseMs;
        now += qint64(kEraseMs);
    }
    stroke.ms = quint32(since);
    return stroke;
}

}  // namespace

InputMethod::InputMethod(const Wubi::CodeBook& book) {
    QList<const Wubi::Character*> all;
    QHash<const Wubi::Character*, QString> names;
    for (auto it = book.characters().cbegin(); it != book.characters().cend(); ++it) {
        all << &*it;
        names.insert(&*it, it.key());
    }
    std::sort(all.begin(), all.end(), [&](const Wubi::Character* a, const Wubi::Character* b) {
        return a->rank != b->rank ? a->rank < b->rank : names[a] < names[b];
    });
    for (const Wubi::Character* c : all) candidates[c->shortCode.toLower()] << names[c];
    for (const Wubi::Character* c : all)
        if (c->fullCode.compare(c->shortCode, Qt::CaseInsensitive) != 0)
            candidates[c->fullCode.toLower()] << names[c];
}

QString InputMethod::commit(const QString& code, const QString& wanted) const {
    const QStringList found = candidates.value(code);
    if (found.contains(wanted))
        return wanted;
    return found.value(0);
}

History::Page typeTextPage(Pupil& pupil, const InputMethod& im, const Wubi::CodeBook& book,
                           const QStringList& lines, qint64& now, QRandomGenerator& random,
                           PageCounts& counts) {
    QList<History::Stroke> strokes;
    qint64 ms = 0;
    for (const QString& line : lines)
        for (const QString& character : charactersOf(line)) {
            History::Stroke stroke;
            if (book.find(character)) {
                ++counts.items;
                stroke = typeCharacter(pupil, im, character, now, random, counts);
            } else {
                stroke = {character, quint32(pupil.otherKeyMs(random))};
                now += stroke.ms;
            }
            // The page's clock starts with its first character.
            if (strokes.isEmpty())
                stroke.ms = 0;
            ms += stroke.ms;
            strokes << stroke;
        }
    History::Page page = finished(History::kText, now, ms);
    page.amount = Gbk::byteLength(lines.join(QString()));
    page.speedText = PageTiming::speedText(page.amount, page.ms);
    page.strokes = strokes;
    return page;
}

History::Page typeRootPage(Pupil& pupil, const QList<int>& records, const QList<QChar>& keys,
                           const Wubi::CodeBook& book, qint64& now, QRandomGenerator& random,
                           PageCounts& counts) {
    QList<History::Stroke> strokes;
    qint64 ms = 0;
    for (int record : records) {
        const QChar key = keys.value(record);
        QString item = book.rootOfRecord(record);
        if (item.isEmpty())  // a stroke rule: its own picture to remember
            item = QStringLiteral("笔划%1").arg(record);
        History::Stroke stroke{QString(RootItemLog::itemCharacter(record))};
        Pupil::Answer a = pupil.place(item, key, now, random);
        ++counts.items;
        counts.rightFirstTime += a.key == key;
        counts.unaided += a.key == key && !a.lookedUp;
        double since = a.ms;
        pupil.learnPlace(item, key, a, now + qint64(since));
        while (a.key != key) {
            ++stroke.wrong;
            stroke.wrongs << QString(a.key);
            a = pupil.lookUp(key, random);
            since += a.ms;
            pupil.learnPlace(item, key, a, now + qint64(since));
        }
        now += qint64(since);
        stroke.ms = quint32(since);
        // The page's clock starts at the first key struck.
        ms += strokes.isEmpty() ? 0 : stroke.ms;
        strokes << stroke;
    }
    History::Page page = finished(History::kRoot, now, ms);
    page.amount = int(records.size());
    page.speedText = PageTiming::rootSpeedText(page.ms);
    page.strokes = strokes;
    return page;
}

TestResult heldOutTest(const Pupil& pupil, const InputMethod& im, const QStringList& characters,
                       qint64 now, QRandomGenerator& random) {
    double ms = 0;
    int right = 0;
    for (const QString& character : characters) {
        const Pupil::Attempt a = pupil.type(character, false, false, now, random);
        ms += a.ms;
        right += im.commit(a.code, character) == character;
    }
    TestResult result;
    result.cpm = ms > 0 ? double(characters.size()) * 60000.0 / ms : 0;
    result.accuracy = characters.isEmpty() ? 0 : double(right) / double(characters.size());
    return result;
}
