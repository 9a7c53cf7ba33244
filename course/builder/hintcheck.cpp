#include "course/builder/hintcheck.h"

#include <QHash>

#include "course/builder/tablewriter.h"
#include "platform/gbk.h"

namespace HintCheck {

namespace {

constexpr int kExamples = 8;

QStringList levelOneCharacters() {
    QStringList characters;
    for (int high = 0xB0; high <= 0xD7; ++high)
        for (int low = 0xA1; low <= (high == 0xD7 ? 0xF9 : 0xFE); ++low) {
            const char bytes[] = {char(high), char(low)};
            characters << Gbk::decode(QByteArray(bytes, 2));
        }
    return characters;
}

QString line(const QString& table, const Tally& t) {
    return QStringLiteral(
               "hints in %1: %2 level-1 characters, %3 short codes give another word "
               "first, %4 hints mislead%5\n")
        .arg(table)
        .arg(t.characters)
        .arg(t.shortCodeMisleads)
        .arg(t.hintMisleads)
        .arg(t.examples.isEmpty() ? QString() : " (" + t.examples.join(' ') + ")");
}

}  // namespace

Tally tally(const HintCode::Order& order, const QList<WubiDict::CharCodes>& dictionary) {
    QHash<QString, const WubiDict::CharCodes*> codes;
    for (const WubiDict::CharCodes& c : dictionary) codes.insert(c.text, &c);
    Tally t;
    for (const QString& character : levelOneCharacters()) {
        const WubiDict::CharCodes* c = codes.value(character);
        if (!c)
            continue;
        ++t.characters;
        if (order.candidates(c->shortCode).value(0) != character)
            ++t.shortCodeMisleads;
        const HintCode::Hint hint = HintCode::choose(order, character, c->shortCode, c->fullCode);
        if (!HintCode::commits(order, character, hint)) {
            ++t.hintMisleads;
            if (t.examples.size() < kExamples)
                t.examples << character + ':' + hint.text();
        }
    }
    return t;
}

QString verify(const QList<WubiDict::CharCodes>& dictionary) {
    const struct {
        const char* name;
        HintCode::Order order;
    } tables[] = {{"fcitx5 wbx", HintCode::fcitxWubiTable()},
                  {"ibus wubi-jidian86", HintCode::ibusWubiTable()}};
    QString report;
    QStringList misleading;
    for (const auto& table : tables) {
        if (table.order.isEmpty()) {
            report += QStringLiteral("hints in %1: table not installed, not checked\n")
                          .arg(QLatin1String(table.name));
            continue;
        }
        const Tally t = tally(table.order, dictionary);
        report += line(QLatin1String(table.name), t);
        if (t.hintMisleads > 0)
            misleading << line(QLatin1String(table.name), t).trimmed();
    }
    if (!misleading.isEmpty())
        throw CourseError(misleading.join('\n'));
    return report;
}

}  // namespace HintCheck
