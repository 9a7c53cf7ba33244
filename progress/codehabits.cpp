#include "progress/codehabits.h"

#include <algorithm>

#include "progress/mastery.h"

namespace CodeHabits {

namespace {

// The keys most counted first; the same counts in the keys' order, so that the list keeps still.
template <typename Key>
QList<QPair<Key, qint64>> mostFirst(const QHash<Key, qint64>& counts) {
    QList<QPair<Key, qint64>> list;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) list.append({it.key(), *it});
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    return list;
}

}  // namespace

void Counter::add(const QString& wanted, const QString& cameOut, const QString& code, qint64 n) {
    const Mastery::Mistake m = Mastery::classify(book, wanted, cameOut, code);
    switch (m.kind) {
        case Mastery::Mistake::RootOnWrongKey:
            // Z stands in for a root the pupil cannot place: it names no key taken for it.
            if (m.typedKey >= QLatin1Char('a') && m.typedKey <= QLatin1Char('y'))
                roots[{book.find(wanted)->roots[m.position], m.typedKey}] += n;
            break;
        case Mastery::Mistake::IdentificationCode:
            identification[{wanted, m.typedKey}] += n;
            break;
        case Mastery::Mistake::LongerThanNeeded: {
            // The course's short code may give another word first in the pupil's input method
            // (did gives 耨 in fcitx5's table, not 非): advise the code that really gives it.
            const Wubi::Character* c = book.find(wanted);
            const HintCode::Hint hint = HintCode::choose(order, wanted, c->shortCode, c->fullCode);
            const qsizetype typed = code.isEmpty() ? c->fullCode.size() : code.size();
            if (hint.choice == 1 && hint.code.size() < typed) {
                longer[{wanted, QChar()}] += n;
                shorter[wanted] = hint.code;
            }
            break;
        }
        default:
            break;
    }
}

Habits Counter::habits() const {
    Habits h;
    for (const auto& [key, n] : mostFirst(roots))
        h.roots.append({key.first, book.keyOf(key.first), key.second, n});
    for (const auto& [key, n] : mostFirst(identification)) {
        const Wubi::Character* c = book.find(key.first);
        h.identification.append({key.first, c->fullCode[c->roots.size()], key.second, n});
    }
    for (const auto& [key, n] : mostFirst(longer))
        h.longerCodes.append({key.first, shorter.value(key.first), n});
    return h;
}

}  // namespace CodeHabits
