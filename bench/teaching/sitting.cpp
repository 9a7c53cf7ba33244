#include "bench/teaching/sitting.h"

#include <QDateTime>
#include <algorithm>

#include "drills/pagetiming.h"
#include "platform/gbk.h"
#include "progress/strokelog.h"

namespace {

// Erasing the letters of a code with no candidate; noticing a wrong character marked.
constexpr double kEraseMs = 600;
constexpr double kNoticeMs = 300;
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

// The drills' tick count at a simulated moment.
uint32_t tick(qint64 now) {
    return uint32_t(quint64(now));
}

History::Page finished(const QString& drill, qint64 now, qint64 ms) {
    History::Page page;
    page.at = QDateTime::fromMSecsSinceEpoch(now, Qt::UTC);
    page.drill = drill;
    page.ms = ms;
    return page;
}

// The text drill's boxes, one a line, with the drill's own stroke log following them. A wrong
// character stays selected, so the next commit takes its place.
struct TextBoxes {
    StrokeLog log;
    QString text;  // accepted in the current box
    int box = 1;
    bool clockRunning = false;
    uint32_t clockStart = 0;
    uint32_t last = 0;

    void commit(const QString& code, const QString& out, bool right, qint64 now) {
        last = tick(now);
        if (!clockRunning) {  // the page's clock starts with the first character
            clockRunning = true;
            clockStart = last;
        }
        log.composed(code, true);
        log.changed(box, text + out, right, last, clockStart);
        if (right)
            text += out;
    }
    void nextLine() {
        ++box;
        text.clear();
    }
};

// One character of a text page, tried until it comes out right.
void typeCharacter(Pupil& pupil, const InputMethod& im, const QString& character, TextBoxes& boxes,
                   qint64& now, QRandomGenerator& random, PageCounts& counts) {
    for (int tries = 0;; ++tries) {
        const Pupil::Attempt a = pupil.type(character, true, tries > 0, now, random);
        now += qint64(a.ms);
        const QString out = tries < kTries ? im.commit(a.code, character) : character;
        if (out == character) {
            boxes.commit(a.code, out, true, now);
            pupil.learn(character, a, now);
            counts.rightFirstTime += tries == 0;
            counts.unaided += tries == 0 && !a.readHint;
            return;
        }
        pupil.corrected(character, a);
        if (out.isEmpty()) {
            ++counts.erased;  // the box sees the letters come and go, and no change
            now += qint64(kEraseMs);
        } else {
            ++counts.wrongCommits;
            boxes.commit(a.code, out, false, now);
            now += qint64(kNoticeMs);
        }
    }
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
    TextBoxes boxes;
    for (const QString& line : lines) {
        for (const QString& character : charactersOf(line)) {
            if (book.find(character)) {
                ++counts.items;
                typeCharacter(pupil, im, character, boxes, now, random, counts);
            } else {
                now += qint64(pupil.otherKeyMs(random));
                boxes.commit(QString(), character, true, now);
            }
        }
        boxes.nextLine();
    }
    History::Page page =
        finished(History::kText, now, PageTiming::elapsed(boxes.clockStart, boxes.last));
    page.amount = Gbk::byteLength(lines.join(QString()));
    page.speedText = PageTiming::speedText(page.amount, page.ms);
    page.strokes = boxes.log.take();
    return page;
}

// The root drill's items, answered as its key boxes hand them to its item log.
History::Page typeRootPage(Pupil& pupil, const QList<int>& records, const QList<QChar>& keys,
                           const Wubi::CodeBook& book, qint64& now, QRandomGenerator& random,
                           PageCounts& counts) {
    RootItemLog log;
    log.pageShown(records, tick(now));
    uint32_t firstKey = 0;
    for (int i = 0; i < records.size(); ++i) {
        const QChar key = keys.value(records[i]);
        QString item = book.rootOfRecord(records[i]);
        if (item.isEmpty())  // a stroke rule: its own picture to remember
            item = QStringLiteral("笔划%1").arg(records[i]);
        Pupil::Answer a = pupil.place(item, key, now, random);
        ++counts.items;
        counts.rightFirstTime += a.key == key;
        counts.unaided += a.key == key && !a.lookedUp;
        for (;;) {
            now += qint64(a.ms);
            if (i == 0 && firstKey == 0)  // the page's clock starts at the first key
                firstKey = tick(now);
            log.answered(i + 1, a.key, a.key == key, tick(now));
            pupil.learnPlace(item, key, a, now);
            if (a.key == key)
                break;
            a = pupil.lookUp(key, random);
        }
    }
    History::Page page = finished(History::kRoot, now, PageTiming::elapsed(firstKey, tick(now)));
    page.amount = int(records.size());
    page.speedText = PageTiming::rootSpeedText(page.ms);
    page.strokes = log.take();
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
