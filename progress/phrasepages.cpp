#include "progress/phrasepages.h"

#include "progress/wordtable.h"

namespace PhrasePages {

QString ruleFor(int characters) {
    if (characters == 2)
        return QStringLiteral("二字词：两个字各取前两码，如 经济 xciy");
    if (characters == 3)
        return QStringLiteral("三字词：前两字各取第一码，末字取前两码，如 计算机 ytsm");
    return QStringLiteral(
        "四字及以上的词：前三字各取第一码，再取末字第一码，如 中华人民共和国 kwwl");
}

QList<Page> make(const WordTable& table) {
    QList<Page> pages;
    const struct {
        int shortest, longest, perPage;
    } kinds[] = {{2, 2, 20}, {3, 3, 15}, {4, 64, 10}};
    for (const auto& kind : kinds) {
        const QStringList words =
            table.commonWords(kind.shortest, kind.longest, kPagesPerLength * kind.perPage);
        for (qsizetype at = 0; at < words.size(); at += kind.perPage)
            pages.append({ruleFor(kind.shortest), words.mid(at, kind.perPage)});
    }
    return pages;
}

}  // namespace PhrasePages
