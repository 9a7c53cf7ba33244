#include "progress/adaptivelesson.h"

#include <algorithm>

#include "data/history.h"

namespace AdaptiveLesson {

namespace {

const QString kKeysSetting = QStringLiteral("adaptive/keys");
const QString kTargetSetting = QStringLiteral("adaptive/targetCpm");

// The roots used by at least kMinimumFocus of the characters, a character counting once for a
// root it has twice.
QStringList rootsUsedBy(const Wubi::CodeBook& book, const QStringList& characters) {
    QHash<QString, int> used;
    for (const QString& character : characters) {
        const QStringList& roots = book.find(character)->roots;
        for (qsizetype i = 0; i < roots.size(); ++i)
            if (std::find(roots.cbegin(), roots.cbegin() + i, roots[i]) == roots.cbegin() + i)
                ++used[roots[i]];
    }
    QStringList result;
    for (auto it = used.cbegin(); it != used.cend(); ++it)
        if (*it >= kMinimumFocus)
            result << it.key();
    return result;
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
    p.roots = rootsUsedBy(book, p.common);
    return p;
}

InPlay keysAndRoots(const Wubi::CodeBook& book, const Mastery::Tracker& tracker, double targetMs,
                    int unlockedBefore) {
    const QString& order = book.keyOrder();
    const int n = int(
        qBound<qsizetype>(qMin<qsizetype>(kFirstKeys, order.size()), unlockedBefore, order.size()));
    InPlay now = inPlay(book, order.left(n));
    if (n == order.size())
        return now;
    for (const QString& root : now.roots) {
        const Mastery::Score score = tracker.roots.value(root);
        if (Mastery::confidence(score, targetMs) < 1 || score.accuracy < Mastery::kAccuracyGoal)
            return now;
    }
    return inPlay(book, order.left(n + 1));
}

// The confusions a page can use, most met first: pairs of two different characters of the book.
// A year's history holds tens of thousands of pairs, read at every page, so they are counted by
// their two code units instead of as pairs of texts.
QList<Confusion> worstPairs(History::Store& store, const Wubi::CodeBook& book) {
    QHash<quint32, qint64> counts;
    store.forEachConfusion(History::kText, [&](QStringView wanted, QStringView typed, qint64 n) {
        if (wanted.size() == 1 && typed.size() == 1 && wanted != typed)
            counts[quint32(wanted[0].unicode()) << 16 | typed[0].unicode()] += n;
    });
    QList<QPair<qint64, quint32>> ranked;
    ranked.reserve(counts.size());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        ranked.append({-it.value(), it.key()});
    std::sort(ranked.begin(), ranked.end());
    QList<Confusion> worst;
    for (const auto& [minusCount, pair] : ranked) {
        const QString wanted(QChar(char16_t(pair >> 16))), typed(QChar(char16_t(pair & 0xFFFF)));
        if (book.find(wanted) && book.find(typed))
            worst.append({wanted, typed, -minusCount});
        if (worst.size() == kPairs)
            break;
    }
    return worst;
}

}  // namespace

QStringList rootsInPlay(const Wubi::CodeBook& book, const QString& keys) {
    return inCourseOrder(book, inPlay(book, keys).roots);
}

QString keysInPlay(const Wubi::CodeBook& book, const Mastery::Tracker& tracker, double targetMs,
                   int unlockedBefore) {
    return keysAndRoots(book, tracker, targetMs, unlockedBefore).keys;
}

Plan makePage(const Wubi::CodeBook& book, const Mastery::Tracker& tracker,
              const QList<Confusion>& confusions, double targetMs, int unlockedBefore, qint64 now,
              QRandomGenerator& random) {
    Plan plan;
    const InPlay play = keysAndRoots(book, tracker, targetMs, unlockedBefore);
    plan.keys = play.keys;
    const QStringList roots = inCourseOrder(book, play.roots);
    const QStringList& common = play.common;

    // The weakest root: least confidence, then fewest strokes, then the earliest in the course.
    auto weaker = [&](const QString& a, const QString& b) {
        const Mastery::Score sa = tracker.roots.value(a), sb = tracker.roots.value(b);
        const double ca = Mastery::confidence(sa, targetMs), cb = Mastery::confidence(sb, targetMs);
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
    }
    if (plan.focus.isEmpty())
        return plan;

    QList<QPair<qint64, QString>> overdue;
    for (const QString& character : common) {
        const auto it = tracker.characters.constFind(character);
        if (it != tracker.characters.constEnd() && Mastery::due(*it, targetMs, now))
            overdue.append({it->lastAt, character});
    }
    std::sort(overdue.begin(), overdue.end());
    for (const auto& [at, character] : overdue.mid(0, kReviews)) plan.reviews << character;

    QList<Confusion> sorted = confusions;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Confusion& a, const Confusion& b) { return a.count > b.count; });
    for (const Confusion& c : sorted)
        if (plan.pairs.size() < kPairs && c.wanted != c.typed && c.wanted.size() == 1 &&
            c.typed.size() == 1 && book.find(c.wanted) && book.find(c.typed))
            plan.pairs << c;

    QString body;
    for (const Confusion& c : plan.pairs) body += c.wanted + c.typed;
    for (const QString& r : plan.reviews) body += r;
    QStringList round;
    while (body.size() < kLines * kLineLength) {
        if (round.isEmpty()) {
            round = plan.focus;
            std::shuffle(round.begin(), round.end(), random);
        }
        QString next = round.takeLast();
        if (!body.isEmpty() && body.endsWith(next) && !round.isEmpty())
            std::swap(next, round.last());
        body += next;
    }
    for (int i = 0; i < kLines; ++i) plan.lines << body.mid(i * kLineLength, kLineLength);
    return plan;
}

int targetCpm(History::Store& store) {
    const int cpm = store.setting(kTargetSetting).toInt();
    return cpm > 0 ? cpm : Mastery::kDefaultTargetCpm;
}

int keysUnlocked(History::Store& store) {
    return store.setting(kKeysSetting).toInt();
}

Plan pageFor(History::Store& store, const Wubi::CodeBook& book, QRandomGenerator& random,
             qint64 now) {
    const Mastery::Tracker tracker = Mastery::current(store, book);
    const QList<Confusion> confusions = worstPairs(store, book);
    const int before = keysUnlocked(store);
    const Plan plan = makePage(book, tracker, confusions, Mastery::targetMs(targetCpm(store)),
                               before, now, random);
    if (plan.keys.size() != before)
        store.setSetting(kKeysSetting, QString::number(plan.keys.size()));
    return plan;
}

}  // namespace AdaptiveLesson
