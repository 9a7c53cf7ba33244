#include "progress/confusionlist.h"

#include <algorithm>

#include "data/history.h"
#include "progress/codehabits.h"

namespace {

QString codeText(const QString& code) {
    return code.isEmpty() ? QStringLiteral("?") : code;
}

// 「口」 for a root with a glyph, 〔革下〕 for a drawn one.
QString rootText(const QString& root) {
    return root.startsWith(QLatin1Char('@')) ? Wubi::CodeBook::rootText(root)
                                             : QStringLiteral("「%1」").arg(root);
}

QString keyText(QChar key) {
    return QString(key.toUpper());
}

}  // namespace

ConfusionList::ConfusionList(QWidget* parent) : QListWidget(parent) {
    setObjectName("ConfusionList");
}

void ConfusionList::fill(History::Store& store,
                         const std::function<QString(const QString&)>& fullCode,
                         const Wubi::CodeBook* book) {
    QHash<QPair<QString, QString>, qint64> counts;
    store.forEachConfusion(History::kText, [&](QStringView wanted, QStringView typed, qint64 n) {
        // A phrase the input method learnt for the wanted character's code: the code was right.
        if (typed.size() > wanted.size() && typed.startsWith(wanted))
            return;
        counts[{wanted.toString(), typed.toString()}] += n;
    });
    // A year holds tens of thousands of pairs: only the few shown are put in order.
    QList<QPair<qint64, QPair<QString, QString>>> ranked;
    ranked.reserve(counts.size());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        ranked.append({it.value(), it.key()});
    const auto shownEnd = ranked.begin() + qMin<qsizetype>(kShown, ranked.size());
    std::partial_sort(ranked.begin(), shownEnd, ranked.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    CodeHabits::Habits habits;
    if (book) {
        CodeHabits::Counter counter(*book, HintCode::inputMethodOrder());
        for (const auto& [n, pair] : ranked) counter.confusion(pair.first, pair.second, n);
        store.forEachCodeAttempt([&](QStringView character, QStringView code, qint64 n) {
            counter.attempt(character.toString(), code.toString(), n);
        });
        habits = counter.habits();
    }

    clear();
    for (auto it = ranked.cbegin(); it != shownEnd; ++it) {
        const auto& [n, pair] = *it;
        addItem(QStringLiteral("把「%1」(%2) 打成「%3」(%4) ×%5")
                    .arg(pair.first, codeText(fullCode(pair.first)), pair.second,
                         codeText(fullCode(pair.second)))
                    .arg(n));
    }
    for (const CodeHabits::RootSlip& s : habits.roots.mid(0, kShown))
        addItem(QStringLiteral("字根%1(%2) 打到了 %3 ×%4")
                    .arg(rootText(s.root), keyText(s.key), keyText(s.typed))
                    .arg(s.count));
    for (const CodeHabits::IdentificationSlip& s : habits.identification.mid(0, kShown))
        addItem((s.typed.isNull() ? QStringLiteral("「%1」少了识别码 %2").arg(s.character, s.code)
                                  : QStringLiteral("「%1」的识别码是 %2，打成了 %3")
                                        .arg(s.character, s.code, s.typed)) +
                QStringLiteral(" ×%1").arg(s.count));
    if (count() == 0)
        addItem(QStringLiteral("还没有打错的字。"));
    for (const CodeHabits::LongerCode& c : habits.longerCodes.mid(0, kShown))
        addItem(QStringLiteral("「%1」可以只打 %2 ×%3").arg(c.character, c.shortCode).arg(c.count));
}
