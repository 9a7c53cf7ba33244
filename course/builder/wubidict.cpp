#include "course/builder/wubidict.h"
#include "course/builder/rimedict.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>

#include "course/builder/tablewriter.h"
#include "platform/gbk.h"

namespace WubiDict {

namespace {

struct Entry {
    QString code;
    double weight;
    int order;
};

bool isHan(const QString& text) {
    const QList<uint> points = text.toUcs4();
    return points.size() == 1 && QChar::script(points[0]) == QChar::Script_Han;
}

bool isWubiCode(const QString& code) {
    if (code.isEmpty() || code.size() > 4 || code.startsWith(QLatin1Char('z')))
        return false;
    return std::all_of(code.begin(), code.end(),
                       [](QChar c) { return c >= QLatin1Char('a') && c <= QLatin1Char('z'); });
}

// The entry that wins among the longest (or shortest) codes: higher weight, then first listed.
const Entry& pick(const QList<Entry>& entries, bool longest) {
    const Entry* best = &entries.first();
    for (const Entry& e : entries) {
        const bool better =
            longest ? e.code.size() > best->code.size() : e.code.size() < best->code.size();
        const bool same = e.code.size() == best->code.size();
        if (better || (same && e.weight > best->weight))
            best = &e;
    }
    return *best;
}

}  // namespace

QString defaultPath() {
    const QString env = qEnvironmentVariable("QORVEX_WUBI_DICT");
    return env.isEmpty() ? QString::fromLatin1(kDefaultPath) : env;
}

QList<CharCodes> read(const QString& path) {
    QHash<QString, QList<Entry>> byText;
    QStringList textOrder;
    RimeDict::forEachRow(path, QStringLiteral("rime-data-wubi"),
                         [&](const QStringList& fields, int number) {
                             if (fields.size() < 2 || !isHan(fields[0]) || !isWubiCode(fields[1]))
                                 return;
                             QList<Entry>& entries = byText[fields[0]];
                             if (entries.isEmpty())
                                 textOrder.append(fields[0]);
                             entries.append({fields[1], fields.value(2).toDouble(), number});
                         });

    QList<CharCodes> result;
    QSet<QByteArray> keys;  // two characters must never share the GBK bytes of the index key
    for (const QString& text : textOrder) {
        if (!Gbk::canEncode(text) || Gbk::decode(Gbk::encode(text)) != text)
            continue;
        if (keys.contains(Gbk::encode(text)))
            continue;
        keys.insert(Gbk::encode(text));
        const QList<Entry>& entries = byText[text];
        const Entry& full = pick(entries, true);
        result.append({text, pick(entries, false).code, full.code, full.weight, full.order});
    }
    std::stable_sort(result.begin(), result.end(), [](const CharCodes& a, const CharCodes& b) {
        if (a.fullCode != b.fullCode)
            return a.fullCode < b.fullCode;
        if (a.weight != b.weight)
            return a.weight > b.weight;
        return a.order < b.order;
    });
    return result;
}

}  // namespace WubiDict
