#include "progress/mastery.h"

#include <QDataStream>
#include <QIODevice>
#include <cmath>

#include "progress/strokelog.h"

namespace Mastery {

namespace {

constexpr char kStateName[] = "mastery-2";

struct PageTally {
    double ms = 0;
    qint64 timed = 0;
    qint64 right = 0;
    double wrong = 0;
};

void smooth(Score& score, const PageTally& t, qint64 at) {
    if (t.timed > 0) {
        const double ms = t.ms / double(t.timed);
        score.ms = score.timed ? score.ms + kSmoothing * (ms - score.ms) : ms;
        score.timed = true;
    }
    const double total = double(t.right) + t.wrong;
    if (total > 0) {
        const double accuracy = double(t.right) / total;
        score.accuracy =
            score.samples ? score.accuracy + kSmoothing * (accuracy - score.accuracy) : accuracy;
    }
    score.samples += t.right;
    score.lastAt = at;
    if (score.timed && score.samples >= kMinimumSamples && score.accuracy >= kAccuracyGoal)
        score.bestMs = score.bestMs > 0 ? qMin(score.bestMs, score.ms) : score.ms;
}

void settle(QHash<QString, Score>& scores, const QHash<QString, PageTally>& page, qint64 at) {
    for (auto it = page.cbegin(); it != page.cend(); ++it) smooth(scores[it.key()], *it, at);
}

bool isCode(const QString& text) {
    for (QChar c : text)
        if (c < QLatin1Char('a') || c > QLatin1Char('z'))
            return false;
    return !text.isEmpty();
}

// The input method gave a phrase it had learnt for the wanted character's code: the pupil typed
// the code right.
bool isPhraseOf(const QString& cameOut, const QString& wanted) {
    return cameOut.size() > wanted.size() && cameOut.startsWith(wanted);
}

constexpr double kForgottenSlip = 0.05;

}  // namespace

double targetMs(int charactersPerMinute) {
    return 60000.0 / qMax(1, charactersPerMinute);
}

double confidence(const Score& score, double target) {
    const double sure = qMin(1.0, double(score.samples) / kMinimumSamples);
    const double speed = score.timed && score.ms > 0 ? target / score.ms : 1.0;
    return sure * qMin(speed, score.accuracy / kAccuracyGoal);
}

double bestConfidence(const Score& score, double target) {
    return score.bestMs > 0 ? target / score.bestMs : 0;
}

bool due(const Score& score, double target, qint64 now) {
    if (score.samples == 0)
        return false;
    const double c = confidence(score, target);
    const int days = c < 0.5 ? 1 : c < 0.8 ? 4 : c < 1 ? 16 : 32;
    return now - score.lastAt >= qint64(days) * 86400000;
}

Mistake classify(const Wubi::CodeBook& book, const QString& wanted, const QString& cameOut,
                 const QString& typedCode) {
    Mistake m;
    const Wubi::Character* w = book.find(wanted);
    if (!w || w->fullCode.isEmpty())
        return m;
    const QString full = w->fullCode;
    QString typed = typedCode;
    // A four-letter code that only one character has is committed at its fourth key, which the
    // input method never shows: the box saw three letters of the full code.
    if (cameOut == wanted && typed.size() == 3 && full.size() == 4 && full.startsWith(typed))
        typed = full;
    if (typed.isEmpty() && isCode(cameOut))
        typed = cameOut;
    if (typed.isEmpty()) {
        const Wubi::Character* x = book.find(cameOut);
        if (!x)
            return m;
        // The code of what came out that goes furthest along the wanted one.
        typed = x->fullCode;
        if (x->shortCode.size() < typed.size() && full.startsWith(x->shortCode))
            typed = x->shortCode;
    }
    // A first-level short code (为 o, 不 i) is no start of its full code, and right all the same.
    const bool validCode =
        typed == w->shortCode || (full.startsWith(typed) && typed.size() >= w->shortCode.size());
    if (validCode) {
        m.kind = cameOut != wanted                    ? Mistake::WrongCandidate
                 : typed.size() > w->shortCode.size() ? Mistake::LongerThanNeeded
                                                      : Mistake::Right;
        return m;
    }
    int p = 0;
    while (p < typed.size() && p < full.size() && typed[p] == full[p]) ++p;
    m.position = p;
    m.typedKey = p < typed.size() ? typed[p] : QChar();
    if (w->hasIdentificationCode() && p == w->roots.size())
        m.kind = Mistake::IdentificationCode;
    else if (p < w->roots.size() && !m.typedKey.isNull())
        m.kind = Mistake::RootOnWrongKey;
    return m;
}

void Tracker::noteSlips(const QString& wanted, const QStringList& cameOut) {
    if (cameOut.isEmpty()) {
        for (auto it = slips.begin(); it != slips.end();) {
            // Right on the page of the slip is no sign yet: the pupil had just seen the code.
            if (it.key().first == wanted && it->atPage < textPages &&
                ++it->rightSince >= kRightToRetire)
                it = slips.erase(it);
            else
                ++it;
        }
        return;
    }
    for (const QString& typed : cameOut) {
        // Letters the input method gave up, or a phrase: no character to set beside it.
        if (typed.size() != 1 || typed == wanted || isCode(typed))
            continue;
        Slip& slip = slips[{wanted, typed}];
        slip.weight = weightOf(slip) + 1;
        slip.atPage = textPages;
        slip.rightSince = 0;
    }
}

double Tracker::weightOf(const Slip& slip) const {
    return slip.weight * std::pow(kSlipFading, double(textPages - slip.atPage));
}

void Tracker::addPage(const History::Page& page, const Wubi::CodeBook& book) {
    QHash<QString, PageTally> chars, rootsOfPage, keysOfPage;
    const qint64 at = page.at.toMSecsSinceEpoch();
    if (page.drill == History::kText) {
        ++textPages;
        for (qsizetype i = 0; i < page.strokes.size(); ++i) {
            const History::Stroke& s = page.strokes[i];
            const Wubi::Character* c = book.find(s.character);
            const bool timed = i > 0;
            QStringList wrongs;
            for (quint32 w = 0; w < s.wrong; ++w)
                if (const QString cameOut = s.wrongs.value(w); !isPhraseOf(cameOut, s.character))
                    wrongs << cameOut;
            noteSlips(s.character, wrongs);
            PageTally& ct = chars[s.character];
            ++ct.right;
            ct.wrong += wrongs.size();
            if (timed) {
                ct.ms += s.ms;
                ++ct.timed;
            }
            if (!c)
                continue;
            const QString code = c->fullCode.left(4);
            auto count = [&](QHash<QString, PageTally>& tallies, const QString& item) {
                PageTally& t = tallies[item];
                ++t.right;
                if (timed) {
                    t.ms += s.ms;
                    ++t.timed;
                }
            };
            for (const QString& r : c->roots) count(rootsOfPage, r);
            for (QChar k : code) count(keysOfPage, QString(k));
            for (const QString& cameOut : wrongs) {
                const Mistake m = classify(book, s.character, cameOut, QString());
                if (m.kind == Mistake::RootOnWrongKey || m.kind == Mistake::IdentificationCode) {
                    if (m.position < c->roots.size())
                        rootsOfPage[c->roots[m.position]].wrong += 1;
                    if (m.position < code.size())
                        keysOfPage[QString(code[m.position])].wrong += 1;
                } else if (m.kind == Mistake::Unknown) {
                    for (const QString& r : c->roots) rootsOfPage[r].wrong += 1;
                    for (QChar k : code) keysOfPage[QString(k)].wrong += 1;
                }
            }
        }
        for (auto it = slips.begin(); it != slips.end();)
            it = weightOf(*it) < kForgottenSlip ? slips.erase(it) : std::next(it);
    } else if (page.drill == History::kRoot) {
        // The root drill tells which roots the pupil places right, not how fast they type them.
        for (const History::Stroke& s : page.strokes) {
            const QString root = book.rootOfRecord(RootItemLog::recordOf(s.character));
            if (root.isEmpty())
                continue;
            PageTally& t = rootsOfPage[root];
            ++t.right;
            t.wrong += s.wrong;
        }
    }
    settle(characters, chars, at);
    settle(roots, rootsOfPage, at);
    settle(keys, keysOfPage, at);
}

namespace {
void write(QDataStream& out, const QHash<QString, Score>& scores) {
    out << qint64(scores.size());
    for (auto it = scores.cbegin(); it != scores.cend(); ++it)
        out << it.key() << it->ms << it->accuracy << it->samples << it->lastAt << it->timed
            << it->bestMs;
}
void read(QDataStream& in, QHash<QString, Score>& scores) {
    qint64 n = 0;
    in >> n;
    for (qint64 i = 0; i < n && in.status() == QDataStream::Ok; ++i) {
        QString key;
        Score s;
        in >> key >> s.ms >> s.accuracy >> s.samples >> s.lastAt >> s.timed >> s.bestMs;
        scores.insert(key, s);
    }
}
}  // namespace

QByteArray Tracker::save() const {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << through << textPages;
    write(out, characters);
    write(out, roots);
    write(out, keys);
    out << qint64(slips.size());
    for (auto it = slips.cbegin(); it != slips.cend(); ++it)
        out << it.key().first << it.key().second << it->weight << it->atPage << it->rightSince;
    return bytes;
}

Tracker Tracker::load(const QByteArray& bytes) {
    Tracker t;
    QDataStream in(bytes);
    in >> t.through >> t.textPages;
    read(in, t.characters);
    read(in, t.roots);
    read(in, t.keys);
    qint64 n = 0;
    in >> n;
    for (qint64 i = 0; i < n && in.status() == QDataStream::Ok; ++i) {
        QString wanted, typed;
        Slip slip;
        in >> wanted >> typed >> slip.weight >> slip.atPage >> slip.rightSince;
        t.slips.insert({wanted, typed}, slip);
    }
    if (in.status() != QDataStream::Ok)
        return {};
    return t;
}

Tracker current(History::Store& store, const Wubi::CodeBook& book, bool keep) {
    qint64 through = 0;
    Tracker t = Tracker::load(store.derived(QLatin1String(kStateName), &through));
    if (t.through != through)
        t = {};
    const qint64 before = t.through;
    store.forEachPage(t.through, [&](qint64 id, const History::Page& page) {
        t.addPage(page, book);
        t.through = qMax(t.through, id);
        return true;
    });
    if (keep && t.through != before)
        store.keepDerived(QLatin1String(kStateName), t.through, t.save());
    return t;
}

}  // namespace Mastery
