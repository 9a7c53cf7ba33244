#include "progress/adaptivelesson.h"

#include <QSet>
#include <algorithm>

#include "data/history.h"
#include "progress/dailygoal.h"

namespace AdaptiveLesson {

namespace {

const QString kKeysSetting = QStringLiteral("adaptive/keys");
const QString kTargetSetting = QStringLiteral("adaptive/targetCpm");
const QString kKeysWantedSetting = QStringLiteral("adaptive/keysWanted");
const QString kRecoverSetting = QStringLiteral("adaptive/recoverKeys");

// The items (roots or key letters) that at least kMinimumFocus of the characters use, a character
// counting once for an item it has twice.
template <typename ItemsOf>
QStringList usedBy(const QStringList& characters, ItemsOf itemsOf) {
    QHash<QString, int> used;
    for (const QString& character : characters) {
        const QStringList items = itemsOf(character);
        for (qsizetype i = 0; i < items.size(); ++i)
            if (std::find(items.cbegin(), items.cbegin() + i, items[i]) == items.cbegin() + i)
                ++used[items[i]];
    }
    QStringList result;
    for (auto it = used.cbegin(); it != used.cend(); ++it)
        if (*it >= kMinimumFocus)
            result << it.key();
    return result;
}

QStringList keysOfCode(const QString& code) {
    QStringList keys;
    for (QChar k : code) keys << QString(k);
    return keys;
}

// Where the course brings a root in: its key's turn, then its place on the key.
int courseOrder(const Wubi::CodeBook& book, const QString& root) {
    const QChar key = book.keyOf(root);
    return int(book.keyOrder().indexOf(key)) * 100 + int(book.rootsOn(key).indexOf(root));
}

// In the course's order.
QStringList inCourseOrder(const Wubi::CodeBook& book, QStringList roots) {
    std::sort(roots.begin(), roots.end(), [&](const QString& a, const QString& b) {
        return courseOrder(book, a) < courseOrder(book, b);
    });
    return roots;
}

// The keys in play and, with them, the common characters made of them and their roots in play:
// worked out once a page.
struct InPlay {
    QString keys;
    QStringList common;
    QStringList roots;  // in no order
};

InPlay inPlay(const Wubi::CodeBook& book, const QString& keys) {
    InPlay p{keys, book.madeOf(keys), {}};
    p.roots = usedBy(p.common, [&](const QString& c) { return book.find(c)->roots; });
    return p;
}

// Recall at a modest speed brings the next key; the stricter rule asks for the full target now.
bool learnt(const Mastery::Score& key, const Rule& rule) {
    return Mastery::bestConfidence(key, rule.targetMs / kRecallSpeedShare) >= 1 &&
           (!rule.recoverKeys || Mastery::confidence(key, rule.targetMs) >= 1);
}

InPlay keysAndRoots(const Wubi::CodeBook& book, const Mastery::Tracker& tracker, const Rule& rule) {
    const QString& order = book.keyOrder();
    const int n =
        qMax(minimumKeys(book),
             int(qMin<qsizetype>(qMax(rule.unlockedBefore, rule.keysWanted), order.size())));
    InPlay now = inPlay(book, order.left(n));
    if (n == order.size())
        return now;
    // A key too rare among the characters to practise never holds the next one back.
    const QStringList used =
        usedBy(now.common, [&](const QString& c) { return keysOfCode(book.find(c)->fullCode); });
    for (const QString& key : used)
        if (!learnt(tracker.keys.value(key), rule))
            return now;
    return inPlay(book, order.left(n + 1));
}

// The code an input method gives a phrase of two or three characters by the Wubi 86 rules: the
// first two letters of each of two, the first letter of each of the first two and the first two of
// the third.
QString phraseCode(const Wubi::CodeBook& book, QStringView characters) {
    QString code;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const Wubi::Character* c = book.find(characters.mid(i, 1));
        if (!c || c->fullCode.size() < 2)
            return {};
        code += c->fullCode.left(characters.size() == 2 || i == characters.size() - 1 ? 2 : 1);
    }
    return code;
}

// Writes a page's characters one after the other so that no neighbours are the same character, a
// pair, or a phrase that would shadow a common character once an input method has learnt it.
class PageWriter {
  public:
    PageWriter(const Wubi::CodeBook& book, const QList<Confusion>& pairs) : book(book) {
        for (const Confusion& c : pairs) apart << c.wanted + c.typed << c.typed + c.wanted;
    }
    QString body;

    // Never the same character twice nor a pair side by side; where it can be, no phrase either.
    bool fits(const QString& before, const QString& next, bool phrases = true) const {
        if (before.isEmpty())
            return true;
        const QString two = before.right(1) + next;
        if (two[0] == two[1] || apart.contains(two))
            return false;
        if (!phrases)
            return true;
        if (book.isCommonCode(phraseCode(book, two)))
            return false;
        return before.size() < 2 || !book.isCommonCode(phraseCode(book, before.right(2) + next));
    }
    // Puts next, with the first of the fillers that lets it fit before it where it does not.
    void put(const QString& next, QStringList& fillers) {
        if (!fits(body, next))
            for (qsizetype i = 0; i < fillers.size(); ++i)
                if (fits(body, fillers[i]) && fits(body + fillers[i], next)) {
                    body += fillers.takeAt(i);
                    break;
                }
        body += next;
    }
    // The wanted character, another, then what came out instead: never side by side.
    void putPair(const Confusion& pair, QStringList& fillers) {
        put(pair.wanted, fillers);
        for (qsizetype i = 0; i < fillers.size(); ++i)
            if (fillers[i] != pair.typed && fits(body, fillers[i]) &&
                fits(body + fillers[i], pair.typed)) {
                body += fillers.takeAt(i);
                break;
            }
        if (body.endsWith(pair.wanted))
            body += fillers.isEmpty() ? QStringLiteral("，") : fillers.takeLast();
        body += pair.typed;
    }
    // The next of the round that fits, else one that is at least no repeat, else the next.
    QString takeFitting(QStringList& round) const {
        for (bool phrases : {true, false})
            for (qsizetype i = round.size() - 1; i >= 0; --i)
                if (fits(body, round[i], phrases))
                    return round.takeAt(i);
        return round.takeLast();
    }

  private:
    const Wubi::CodeBook& book;
    QSet<QString> apart;
};

// A round of the characters to draw from, shuffled.
QStringList shuffled(QStringList characters, QRandomGenerator& random) {
    std::shuffle(characters.begin(), characters.end(), random);
    return characters;
}

QStringList layOut(const Wubi::CodeBook& book, const Plan& plan, QRandomGenerator& random) {
    QStringList pool = plan.focus;
    for (const QString& c : plan.fresh + plan.known)
        if (!pool.contains(c))
            pool << c;
    PageWriter page(book, plan.pairs);
    QStringList round = shuffled(pool, random);
    auto refill = [&] {
        if (round.size() < 3)
            round += shuffled(pool, random);
    };
    for (const Confusion& pair : plan.pairs) {
        refill();
        page.putPair(pair, round);
    }
    for (const QString& root : plan.introduced) {
        refill();
        page.put(root, round);
    }
    for (const QString& review : plan.reviews) {
        refill();
        page.put(review, round);
    }
    while (page.body.size() < kLines * kLineLength) {
        refill();
        page.body += page.takeFitting(round);
    }
    QStringList lines;
    for (int i = 0; i < kLines; ++i) lines << page.body.mid(i * kLineLength, kLineLength);
    return lines;
}

}  // namespace

int minimumKeys(const Wubi::CodeBook& book) {
    const QString& order = book.keyOrder();
    // A small code book (a test's) has not so many: a tenth of its common characters do.
    const qsizetype wanted = qMin<qsizetype>(kFirstCharacters, book.madeOf(order).size() / 10);
    int n = int(qMin<qsizetype>(kFirstKeys, order.size()));
    while (n < order.size() && book.madeOf(order.left(n)).size() < wanted) ++n;
    return n;
}

QStringList rootsInPlay(const Wubi::CodeBook& book, const QString& keys) {
    return inCourseOrder(book, inPlay(book, keys).roots);
}

QString keysInPlay(const Wubi::CodeBook& book, const Mastery::Tracker& tracker, const Rule& rule) {
    return keysAndRoots(book, tracker, rule).keys;
}

QList<Confusion> pairsFor(const Wubi::CodeBook& book, const Mastery::Tracker& tracker,
                          const QString& keys) {
    const quint32 allowed = Wubi::CodeBook::keyBits(keys);
    const auto typeable = [&](const QString& c) {
        return book.isCommon(c) && (book.find(c)->keys & ~allowed) == 0;
    };
    QList<Confusion> pairs;
    for (auto it = tracker.slips.cbegin(); it != tracker.slips.cend(); ++it)
        if (typeable(it.key().first) && typeable(it.key().second))
            pairs.append({it.key().first, it.key().second, tracker.weightOf(*it)});
    std::sort(pairs.begin(), pairs.end(), [](const Confusion& a, const Confusion& b) {
        if (a.weight != b.weight)
            return a.weight > b.weight;
        return a.wanted != b.wanted ? a.wanted < b.wanted : a.typed < b.typed;
    });
    return pairs.mid(0, kPairs);
}

Plan makePage(const Wubi::CodeBook& book, const Mastery::Tracker& tracker, const Rule& rule,
              qint64 now, QRandomGenerator& random) {
    Plan plan;
    const InPlay play = keysAndRoots(book, tracker, rule);
    plan.keys = play.keys;
    const QStringList roots = inCourseOrder(book, play.roots);
    const QStringList& common = play.common;
    const double target = rule.targetMs;

    // The weakest root: least confidence, then fewest strokes, then the earliest in the course.
    auto weaker = [&](const QString& a, const QString& b) {
        const Mastery::Score sa = tracker.roots.value(a), sb = tracker.roots.value(b);
        const double ca = Mastery::confidence(sa, target), cb = Mastery::confidence(sb, target);
        if (ca != cb)
            return ca < cb;
        if (sa.samples != sb.samples)
            return sa.samples < sb.samples;
        return courseOrder(book, a) < courseOrder(book, b);
    };
    if (!roots.isEmpty())
        plan.focusRoot = *std::min_element(roots.cbegin(), roots.cend(), weaker);
    for (const QString& character : common)
        if (book.find(character)->roots.contains(plan.focusRoot) &&
            plan.focus.size() < kFocusCharacters)
            plan.focus << character;

    if (plan.focus.size() < kMinimumFocus) {
        // The root characters of the keys in play, as the root drill asks for them.
        plan.fallBack = true;
        plan.focusRoot.clear();
        plan.focus.clear();
        for (QChar key : plan.keys)
            for (const QString& root : book.rootsOn(key))
                if (book.find(root))
                    plan.focus << root;
    } else {
        QStringList known;
        QList<QPair<qint64, QString>> resting;  // met in the sitting, by when
        for (const QString& character : common) {
            if (plan.fresh.size() == kNewCharacters)
                break;
            if (plan.focus.contains(character))
                continue;
            const Mastery::Score score = tracker.characters.value(character);
            if (Mastery::confidence(score, target) >= 1) {
                if (known.size() < kKnownFrom)
                    known << character;
            } else if (score.samples == 0 || now - score.lastAt >= kRestMs) {
                plan.fresh << character;
            } else {
                resting.append({score.lastAt, character});
            }
        }
        // A long sitting on few keys runs out of characters not met yet: those met longest ago
        // come back first.
        std::stable_sort(resting.begin(), resting.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [at, character] : resting) {
            if (plan.fresh.size() == kNewCharacters)
                break;
            plan.fresh << character;
        }
        // The most frequent characters the pupil knows come back as they would in any text.
        while (plan.known.size() < kKnownCharacters && !known.isEmpty())
            plan.known << known.takeAt(random.bounded(int(known.size())));
    }
    if (plan.focus.isEmpty())
        return plan;

    // The most frequent characters due again first: they are most of any text.
    for (const QString& character : common) {
        if (plan.reviews.size() == kReviews)
            break;
        const auto it = tracker.characters.constFind(character);
        if (it != tracker.characters.constEnd() && Mastery::due(*it, target, now) &&
            !plan.focus.contains(character) && !plan.fresh.contains(character))
            plan.reviews << character;
    }

    // A root is what the pupil recalls, and a common character may not bring a rare root back for
    // days: a new root is typed near the start (as a root drill's line would), a root due again in
    // its most frequent character, so that every root in play is spaced as a character is.
    auto carrier = [&](const QString& root) -> QString {
        if (common.contains(root))
            return root;
        for (const QString& character : common)
            if (book.find(character)->roots.contains(root))
                return character;
        return {};
    };
    for (const QString& root : roots) {
        const Mastery::Score score = tracker.roots.value(root);
        QString c;
        if (score.samples < Mastery::kMinimumSamples && plan.introduced.size() < kIntroduced)
            c = carrier(root);
        if (!c.isEmpty() && !plan.introduced.contains(c))
            plan.introduced << c;
        else if (Mastery::due(score, target, now) && plan.reviews.size() < kReviews + kRootReviews)
            if (const QString r = carrier(root); !r.isEmpty() && !plan.reviews.contains(r))
                plan.reviews << r;
    }

    plan.pairs = pairsFor(book, tracker, plan.keys);
    plan.lines = layOut(book, plan, random);
    return plan;
}

int chosenTargetCpm(History::Store& store) {
    return qMax(0, store.setting(kTargetSetting).toInt());
}

void setTargetCpm(History::Store& store, int cpm) {
    store.setSetting(kTargetSetting, cpm > 0 ? QString::number(cpm) : QString());
}

int targetCpm(History::Store& store, Keep keep) {
    if (const int chosen = chosenTargetCpm(store); chosen > 0)
        return chosen;
    QList<double> speeds;
    for (const auto& [at, cpm] : DailyGoal::tally(store, keep == Keep::Progress).speeds)
        speeds << cpm;
    if (speeds.isEmpty())
        return Mastery::kDefaultTargetCpm;
    const auto middle = speeds.begin() + speeds.size() / 2;
    std::nth_element(speeds.begin(), middle, speeds.end());
    return qBound(kLowestTargetCpm, qRound(kOwnSpeedShare * *middle), Mastery::kDefaultTargetCpm);
}

int keysUnlocked(History::Store& store) {
    return store.setting(kKeysSetting).toInt();
}

int keysWanted(History::Store& store) {
    return store.setting(kKeysWantedSetting).toInt();
}

void setKeysWanted(History::Store& store, int keys) {
    store.setSetting(kKeysWantedSetting, keys > 0 ? QString::number(keys) : QString());
}

Rule ruleOf(History::Store& store, Keep keep) {
    Rule rule;
    rule.targetMs = Mastery::targetMs(targetCpm(store, keep));
    rule.unlockedBefore = keysUnlocked(store);
    rule.keysWanted = keysWanted(store);
    rule.recoverKeys = store.setting(kRecoverSetting) == QLatin1String("1");
    return rule;
}

Plan pageFor(History::Store& store, const Wubi::CodeBook& book, QRandomGenerator& random,
             qint64 now, Keep keep) {
    const Mastery::Tracker tracker = Mastery::current(store, book, keep == Keep::Progress);
    const Rule rule = ruleOf(store, keep);
    const Plan plan = makePage(book, tracker, rule, now, random);
    // Only a key the rule brought in is kept: the pupil's own choice stays theirs to change.
    const int before = qMax(minimumKeys(book), qMax(rule.unlockedBefore, rule.keysWanted));
    if (keep == Keep::Progress && plan.keys.size() > before)
        store.setSetting(kKeysSetting, QString::number(plan.keys.size()));
    return plan;
}

}  // namespace AdaptiveLesson
