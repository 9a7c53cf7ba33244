#include "progress/confusionlist.h"

#include <algorithm>

#include "data/history.h"

ConfusionList::ConfusionList(QWidget* parent) : QListWidget(parent) {
    setObjectName("ConfusionList");
}

void ConfusionList::fill(History::Store& store,
                         const std::function<QString(const QString&)>& fullCode) {
    QHash<QPair<QString, QString>, qint64> counts;
    store.forEachConfusion(History::kText, [&](QStringView wanted, QStringView typed, qint64 n) {
        counts[{wanted.toString(), typed.toString()}] += n;
    });
    QList<QPair<qint64, QPair<QString, QString>>> ranked;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        ranked.append({it.value(), it.key()});
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    clear();
    for (const auto& [n, pair] : ranked.mid(0, kShown)) {
        const QString wantedCode = fullCode(pair.first), typedCode = fullCode(pair.second);
        addItem(QStringLiteral("把「%1」(%2) 打成「%3」(%4) ×%5")
                    .arg(pair.first, wantedCode.isEmpty() ? QStringLiteral("?") : wantedCode,
                         pair.second, typedCode.isEmpty() ? QStringLiteral("?") : typedCode)
                    .arg(n));
    }
    if (ranked.isEmpty())
        addItem(QStringLiteral("还没有打错的字。"));
}
