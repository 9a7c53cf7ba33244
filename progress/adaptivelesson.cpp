#include "progress/adaptivelesson.h"

#include <algorithm>

#include "data/history.h"

namespace AdaptiveLesson {

namespace {

const QString kKeysSetting = QStringLiteral("adaptive/keys");
const QString kTargetSetting = QStringLiteral("adaptive/targetCpm");

bool madeOf(const Wubi::Character& c, const QString& keys, const Wubi::CodeBook& book) {
    if (c.roots.isEmpty())
        return false;
    for (const QString& r : c.roots)
        if (!keys.contains(book.keyOf(r)))
            return false;
    return true;
}

// Common characters made only of the keys' roots, most frequent first.
QStringList eligible(const Wubi::CodeBook& book, const QString& keys) {
    QStringList result;
    for (const QString& character : book.byRank())
        if (madeOf(*book.find(character), keys, book))
            result << character;
    return result;
}

// Where the course brings a root in: its key's turn, then its place on the key.
int courseOrder(const Wubi::CodeBook& book, const QString& root) {
    const QChar key = book.keyOf(root);
    return int(book.keyOrder().indexOf(key)) * 100 + int(book.rootsOn(key).indexOf(root));
}

}  // namespace

QStringList rootsInPlay(const Wubi::CodeBook& book, const QString& keys) {
    QHash<QString, int> used;
    for (const QString& character : eligible(book, keys))
        for (const QString& r : QSet<QString>(book.find(character)->roots.cbegin(),
                                              book.find(character)->roots.cend()))
            ++used[r];
    QStringList roots;
    for (auto it = used.cbegin(); it != used.cend(); ++it)
        if (*it >= kMinimumFocus)
            roots << it.key();
    std::sort(roots.begin(), roots.end(), [&](const QString& a, const QString& b) {
        return courseOrder(book, a) < courseOrder(book, b);
    });
    return roots;
}

QString keysInPlay(const Wubi::CodeBook& book, const Mastery::Tracker& tracker, double targetMs,
                   int unlockedBefore) {
    const QString& order = book.keyOrder();
    const int n = int(
        qBound<qsizetype>(qMin<qsizetype>(kFirstKeys, order.size()), unlockedBefore, order.size()));
    const QString keys = order.left(n);
    if (n == order.size())
        return keys;
    for (const QString& root : rootsInPlay(book, keys)) {
        const Mastery::Score score = tracker.roots.value(root);
        if (Mastery::confidence(score, targetMs) < 1 || score.accuracy < Mastery::kAccuracyGoal)
            return keys;
    }
    return order.left(n + 1);
}

Plan makePage(const Wubi::CodeBook& book, const Mastery::Tracker& tracker,
              const QList<Confusion>& confusions, double targetMs, int unlockedBefore, qint64 now,
              QRandomGenerator& random) {
    Plan plan;
    plan.keys = keysInPlay(book, tracker, targetMs, unlockedBefore);
    const QStringList roots = rootsInPlay(book, plan.keys);
    const QStringList common = eligible(book, plan.keys);

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

Plan pageFor(History::Store& store, const Wubi::CodeBook& book, QRandomGenerator& random) {
    const Mastery::Tracker tracker = Mastery::current(store, book);
    QList<Confusion> confusions;
    QHash<QPair<QString, QString>, qint64> counts;
    store.forEachConfusion(History::kText, [&](QStringView w, QStringView t, qint64 n) {
        counts[{w.toString(), t.toString()}] += n;
    });
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        confusions.append({it.key().first, it.key().second, it.value()});
    const int before = store.setting(kKeysSetting).toInt();
    const Plan plan = makePage(book, tracker, confusions, Mastery::targetMs(targetCpm(store)),
                               before, QDateTime::currentMSecsSinceEpoch(), random);
    if (plan.keys.size() != before)
        store.setSetting(kKeysSetting, QString::number(plan.keys.size()));
    return plan;
}

}  // namespace AdaptiveLesson
