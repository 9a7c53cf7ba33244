#include "bench/teaching/pupil.h"

#include <cmath>

namespace {

// Roots on different keys that pupils mistake for each other.
const char* const kLookAlikes[][2] = {
    {"二", "三"}, {"厂", "广"}, {"广", "疒"}, {"丁", "了"}, {"七", "匕"}, {"目", "日"},
    {"口", "囗"}, {"力", "刀"}, {"几", "九"}, {"山", "凵"}, {"彳", "亻"}, {"夂", "夕"},
    {"冫", "氵"}, {"又", "乂"}, {"白", "日"}, {"巳", "巴"}, {"川", "巛"}, {"儿", "几"},
    {"冂", "门"}, {"木", "禾"}, {"田", "由"}, {"甲", "由"}, {"文", "攵"},
};

// The beginner's key time falls towards the practised one as keys are struck; halfway after
// about kMotorKeys * 3 keys.
constexpr double kMotorKeys = 1500;
// A wrong belief keeps this much of its hold each time the drill puts it right.
constexpr double kBeliefKept = 0.85;
constexpr double kBeliefHold = 0.9;
// Splitting skill: a pupil who has typed this many different characters splits new ones about
// 2.7 times less often wrong.
constexpr double kSplitPractice = 300;

const QString kIdentificationRule = QStringLiteral("识别码");
const QString kRootCharacterRule = QStringLiteral("成字字根");

}  // namespace

QList<Profile> profiles() {
    const Profile quick{.name = QStringLiteral("quick"),
                        .massed = 0.05,
                        .gainRecalled = 3.0,
                        .gainRead = 1.2,
                        .wholeShare = 0.5,
                        .forgetting = 1.0,
                        .lookAlike = 0.3,
                        .slip = 0.01,
                        .misSplit = 0.3,
                        .rebuild = 0.5,
                        .keyFirstMs = 350,
                        .keyBestMs = 110,
                        .recallMs = 150,
                        .recallFadedMs = 900,
                        .splitMs = 300,
                        .hintMs = 1500,
                        .rebuildMs = 3000,
                        .guessMs = 2000,
                        .beliefs = {}};
    const Profile slow{.name = QStringLiteral("slow, forgetful"),
                       .massed = 0.02,
                       .gainRecalled = 1.8,
                       .gainRead = 0.7,
                       .wholeShare = 0.4,
                       .forgetting = 2.0,
                       .lookAlike = 0.4,
                       .slip = 0.02,
                       .misSplit = 0.45,
                       .rebuild = 0.3,
                       .keyFirstMs = 600,
                       .keyBestMs = 190,
                       .recallMs = 250,
                       .recallFadedMs = 1400,
                       .splitMs = 500,
                       .hintMs = 2500,
                       .rebuildMs = 4500,
                       .guessMs = 3000,
                       .beliefs = {}};
    const Profile confused{.name = QStringLiteral("two confusions"),
                           .massed = 0.035,
                           .gainRecalled = 2.4,
                           .gainRead = 1.0,
                           .wholeShare = 0.45,
                           .forgetting = 1.3,
                           .lookAlike = 0.35,
                           .slip = 0.015,
                           .misSplit = 0.35,
                           .rebuild = 0.4,
                           .keyFirstMs = 450,
                           .keyBestMs = 140,
                           .recallMs = 200,
                           .recallFadedMs = 1100,
                           .splitMs = 400,
                           .hintMs = 2000,
                           .rebuildMs = 3500,
                           .guessMs = 2500,
                           .beliefs = {{QStringLiteral("彳"), QStringLiteral("亻")},
                                       {QStringLiteral("冫"), QStringLiteral("氵")}}};
    return {quick, slow, confused};
}

Pupil::Pupil(const Profile& profile, const Wubi::CodeBook& book) : profile(profile), book(book) {
    for (const auto& [root, wrong] : profile.beliefs) {
        believed.insert(root, wrong);
        beliefHold.insert(root, kBeliefHold);
    }
}

QList<Pupil::Piece> Pupil::pieces(const Wubi::Character& c) const {
    QList<Piece> result;
    const QStringList& roots = c.roots;
    if (roots.isEmpty())
        return result;
    for (qsizetype p = 0; p < c.fullCode.size() && p < 4; ++p) {
        const QChar key = c.fullCode[p];
        if (p < roots.size())
            result.append({roots.size() > 4 && p == 3 ? roots.last() : roots[p], key, false});
        else  // a letter no root stands for: a rule gives it
            result.append(
                {roots.size() == 1 ? kRootCharacterRule : kIdentificationRule, key, true});
    }
    return result;
}

double Pupil::noise(QRandomGenerator& random) {
    const double u1 = 1 - random.generateDouble(), u2 = random.generateDouble();
    const double gauss = std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
    return std::exp(0.2 * gauss);
}

double Pupil::keyMs() const {
    return profile.keyBestMs +
           (profile.keyFirstMs - profile.keyBestMs) / std::sqrt(1 + double(keys) / kMotorKeys);
}

double Pupil::recallTime(double strength) const {
    return profile.recallMs + profile.recallFadedMs * (1 - strength);
}

QChar Pupil::slipped(QChar key, QRandomGenerator& random) const {
    if (random.generateDouble() >= profile.slip)
        return key;
    QChar other;
    do other = QChar(char16_t(u'a' + random.bounded(25)));
    while (other == key);
    return other;
}

QString Pupil::lookAlikeOf(const QString& root, qint64 now, double* strength) const {
    QString best;
    *strength = 0;
    for (const auto& pair : kLookAlikes)
        for (int side = 0; side < 2; ++side) {
            const QString other = QString::fromUtf8(pair[1 - side]);
            if (root != QString::fromUtf8(pair[side]) || book.keyOf(other) == book.keyOf(root))
                continue;
            const double s = items.value(other).recall(now, profile.forgetting);
            if (s > *strength) {
                *strength = s;
                best = other;
            }
        }
    return best;
}

Pupil::Guess Pupil::recallPiece(const Piece& piece, qint64 now, QRandomGenerator& random) const {
    const double r = items.value(piece.item).recall(now, profile.forgetting);
    if (!piece.rule && believed.contains(piece.item)) {
        // A wrong belief competes with what the pupil has learnt since.
        const double hold = beliefHold.value(piece.item) * (1 - 0.5 * r);
        if (random.generateDouble() < hold)
            return {book.keyOf(believed.value(piece.item)), recallTime(hold), Recall::Wrong, true};
    }
    if (random.generateDouble() < r)
        return {piece.key, recallTime(r), Recall::Recalled, false};
    if (!piece.rule) {
        double strength = 0;
        const QString other = lookAlikeOf(piece.item, now, &strength);
        if (!other.isEmpty() && random.generateDouble() < profile.lookAlike * strength)
            return {book.keyOf(other), recallTime(strength), Recall::Wrong, false};
    }
    return {QChar(), profile.recallFadedMs, Recall::Failed, false};
}

Pupil::Attempt Pupil::type(const QString& character, bool hint, bool forceHint, qint64 now,
                           QRandomGenerator& random) const {
    Attempt a;
    const double whole = wholes.value(character).recall(now, profile.forgetting);
    if (!forceHint && random.generateDouble() < whole) {
        a.whole = true;
        a.code = book.find(character)->shortCode;
        a.ms = recallTime(whole);
    } else {
        a = compose(character, hint, forceHint, now, random);
    }
    for (QChar& key : a.code) key = slipped(key, random);
    a.ms += keyMs() * double(a.code.size() + (a.code.size() < 4 ? 1 : 0));
    a.ms *= noise(random);
    return a;
}

// The character split and each code position recalled; what does not come back is read from the
// hint, or without it worked out or guessed.
Pupil::Attempt Pupil::compose(const QString& character, bool hint, bool forceHint, qint64 now,
                              QRandomGenerator& random) const {
    const Wubi::Character* c = book.find(character);
    const QList<Piece> parts = pieces(*c);
    Attempt a;
    a.ms = profile.splitMs;
    bool failed = parts.isEmpty() || forceHint;
    if (!forceHint)
        for (const Piece& part : parts) {
            const Guess g = recallPiece(part, now, random);
            a.pieces << g.recall;
            a.belief << g.belief;
            a.code += g.recall == Recall::Failed ? QChar(u'?') : g.key;
            a.ms += g.ms;
            failed = failed || g.recall == Recall::Failed;
        }
    if (failed && hint) {
        a.readHint = true;
        a.code = c->shortCode;
        a.ms += profile.hintMs;
    } else if (failed) {
        a.ms += fillUnaided(parts, a, now, random);
    } else if (!hint) {
        misSplit(character, a, random);
    }
    return a;
}

// Without the hint each letter that did not come back is worked out slowly or guessed: a
// look-alike's key, any key, or for a rule's letter often none at all.
double Pupil::fillUnaided(const QList<Piece>& parts, Attempt& a, qint64 now,
                          QRandomGenerator& random) const {
    double ms = 0;
    if (parts.isEmpty()) {
        for (int i = 0; i < 3; ++i) a.code += QChar(char16_t(u'a' + random.bounded(25)));
        return profile.guessMs;
    }
    QString code;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (a.pieces[i] != Recall::Failed) {
            code += a.code[i];
            continue;
        }
        const Piece& part = parts[i];
        if (items.value(part.item).meetings > 0 && random.generateDouble() < profile.rebuild) {
            code += part.key;
            a.pieces[i] = Recall::Recalled;
            ms += profile.rebuildMs;
            continue;
        }
        ms += profile.guessMs;
        a.pieces[i] = Recall::Wrong;
        double strength = 0;
        const QString other = part.rule ? QString() : lookAlikeOf(part.item, now, &strength);
        if (part.rule && random.generateDouble() < 0.5)
            continue;  // the letter left out
        if (!other.isEmpty() && random.generateDouble() < 0.5)
            code += book.keyOf(other);
        else
            code += QChar(char16_t(u'a' + random.bounded(25)));
    }
    a.code = code;
    return ms;
}

// A character composed without the hint may be split wrong, less so the more characters the
// pupil has typed, and less for one typed before.
void Pupil::misSplit(const QString& character, Attempt& a, QRandomGenerator& random) const {
    const double seen = wholes.contains(character) ? 0.3 : 1;
    const double chance =
        profile.misSplit * seen * std::exp(-double(composed.size()) / kSplitPractice);
    if (a.code.isEmpty() || random.generateDouble() >= chance)
        return;
    const int at = int(random.bounded(qint64(a.code.size())));
    a.code[at] = QChar(char16_t(u'a' + random.bounded(25)));
    a.pieces[at] = Recall::Wrong;
}

void Pupil::meet(Trace& trace, bool recalled, qint64 now, double share) {
    trace.meet(now, profile.forgetting, recalled ? profile.gainRecalled : profile.gainRead,
               profile.massed * share);
}

void Pupil::learn(const QString& character, const Attempt& a, qint64 now) {
    const Wubi::Character* c = book.find(character);
    meet(wholes[character], a.whole, now, profile.wholeShare);
    composed.insert(character);
    keys += a.code.size() + (a.code.size() < 4 ? 1 : 0);
    if (a.whole)
        return;
    // The hint shows the short code's letters beside the roots' pictures.
    const QList<Piece> parts = pieces(*c);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const Recall r = a.pieces.value(i, Recall::Untried);
        if (r == Recall::Recalled)
            meet(items[parts[i].item], true, now);
        else if (a.readHint && i < c->shortCode.size())
            meet(items[parts[i].item], false, now);
    }
}

void Pupil::corrected(const QString& character, const Attempt& a) {
    keys += a.code.size() + 1;
    const QList<Piece> parts = pieces(*book.find(character));
    for (qsizetype i = 0; i < parts.size() && i < a.belief.size(); ++i)
        if (a.belief[i])
            beliefHold[parts[i].item] *= kBeliefKept;
}

Pupil::Answer Pupil::place(const QString& item, QChar key, qint64 now,
                           QRandomGenerator& random) const {
    const Guess g = recallPiece({item, key, false}, now, random);
    Answer a;
    a.belief = g.belief;
    a.ms = g.ms + keyMs();
    if (g.recall == Recall::Failed) {
        a.key = key;
        a.lookedUp = true;
        a.ms += profile.hintMs;
    } else {
        a.key = g.key;
    }
    a.key = slipped(a.key, random);
    a.ms *= noise(random);
    return a;
}

Pupil::Answer Pupil::lookUp(QChar key, QRandomGenerator& random) const {
    return {key, (profile.hintMs + keyMs()) * noise(random), true, false};
}

void Pupil::learnPlace(const QString& item, QChar key, const Answer& a, qint64 now) {
    ++keys;
    if (a.key == key)
        meet(items[item], !a.lookedUp, now);
    else if (a.belief)
        beliefHold[item] *= kBeliefKept;
}

double Pupil::otherKeyMs(QRandomGenerator& random) const {
    return (profile.recallMs + keyMs()) * noise(random);
}
