#include "course/builder/codetable.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "course/builder/greypng.h"
#include "course/builder/rootpictures.h"
#include "course/builder/rootset.h"
#include "course/builder/sourcefile.h"
#include "course/builder/splitcheck.h"
#include "course/builder/tablewriter.h"
#include "course/builder/wubidict.h"
#include "platform/gbk.h"

namespace CodeTable {

namespace {

struct Split {
    QStringList roots;  // empty: pictures withheld by the exceptions file
    QString where;
};

QString keysOf(const QStringList& roots, const RootSet& rootSet) {
    QString keys;
    for (const QString& root : roots) keys += rootSet.key(root);
    return keys;
}

// Lines "<character><TAB><root> <root> ...". In the exceptions file "-" withholds the pictures.
QHash<QString, Split> readSplits(const QString& path, const RootSet& rootSet, bool exceptions) {
    QHash<QString, Split> splits;
    if (!QFileInfo::exists(path))
        return splits;
    for (const SourceLine& line : readSourceLines(path)) {
        if (line.fields.size() < 2 || line.fields[0].toUcs4().size() != 1)
            throw CourseError(line.where + ": expected \"<character><TAB><roots>\"");
        const QStringList roots = line.fields[1].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (roots.isEmpty())
            throw CourseError(line.where + ": no roots");
        const bool withheld = exceptions && roots == QStringList{QStringLiteral("-")};
        for (const QString& root : roots)
            if (!withheld && !rootSet.contains(root))
                throw CourseError(
                    QStringLiteral("%1: %2 is not a root of roots.txt").arg(line.where, root));
        if (splits.contains(line.fields[0]))
            throw CourseError(
                QStringLiteral("%1: %2 is split twice").arg(line.where, line.fields[0]));
        splits.insert(line.fields[0], {withheld ? QStringList() : roots, line.where});
    }
    return splits;
}

enum Level { Level1, Level2, RestOfGbk };

Level gb2312Level(const QString& text) {
    const QByteArray bytes = Gbk::encode(text);
    const auto lead = quint8(bytes[0]), trail = quint8(bytes[1]);
    if (trail >= 0xA1 && trail <= 0xFE) {
        if (lead >= 0xB0 && lead <= 0xD7)
            return Level1;
        if (lead >= 0xD8 && lead <= 0xF7)
            return Level2;
    }
    return RestOfGbk;
}

struct Tally {
    int pictured[3] = {};
    int total[3] = {};
    int derivedRejected = 0;
    QStringList rejectedSamples;
    QString level1Missing;  // the common characters still without pictures, for the next round
};

QString percent(int part, int whole) {
    return QString::number(whole ? 100.0 * part / whole : 0.0, 'f', 1) + QLatin1Char('%');
}

QString report(const Tally& tally, int rows) {
    static const char* const names[] = {"GB2312 level 1", "GB2312 level 2", "rest of GBK"};
    QString text = QStringLiteral("kzWb.DB: %1 characters; verified root pictures:\n").arg(rows);
    for (int level = 0; level < 3; ++level)
        text += QStringLiteral("  %1: %2 of %3 (%4)\n")
                    .arg(QLatin1String(names[level]))
                    .arg(tally.pictured[level])
                    .arg(tally.total[level])
                    .arg(percent(tally.pictured[level], tally.total[level]));
    text += QStringLiteral("  derived splits that disagree with the code: %1%2\n")
                .arg(tally.derivedRejected)
                .arg(tally.rejectedSamples.isEmpty()
                         ? QString()
                         : QStringLiteral(" (") + tally.rejectedSamples.join(QLatin1Char(' ')) +
                               QLatin1Char(')'));
    if (!tally.level1Missing.isEmpty())
        text += QStringLiteral("  GB2312 level 1 without pictures: %1\n").arg(tally.level1Missing);
    return text;
}

}  // namespace

QString build(const QString& courseDir, const QString& dictionaryPath, const QString& outPath) {
    const QDir wubi(QDir(courseDir).filePath(QStringLiteral("wubi")));
    const RootSet rootSet = RootSet::read(wubi.filePath(QStringLiteral("roots.txt")));
    const QList<WubiDict::CharCodes> codes = WubiDict::read(dictionaryPath);
    QHash<QString, QString> fullCodes;
    for (const WubiDict::CharCodes& c : codes) fullCodes.insert(c.text, c.fullCode);

    const QHash<QString, Split> derived =
        readSplits(wubi.filePath(QStringLiteral("splits.txt")), rootSet, false);
    const QHash<QString, Split> exceptions =
        readSplits(wubi.filePath(QStringLiteral("exceptions.txt")), rootSet, true);
    for (auto it = exceptions.begin(); it != exceptions.end(); ++it) {
        if (!fullCodes.contains(it.key()))
            throw CourseError(QStringLiteral("%1: %2 has no Wubi code in %3")
                                  .arg(it->where, it.key(), dictionaryPath));
        const QString why = it->roots.isEmpty() ? QString()
                                                : SplitCheck::failure(keysOf(it->roots, rootSet),
                                                                      fullCodes[it.key()]);
        if (!why.isEmpty())
            throw CourseError(QStringLiteral("%1: the split of %2 disagrees with its code %3: %4")
                                  .arg(it->where, it.key(), fullCodes[it.key()], why));
    }

    QHash<QString, QByteArray> pictures;  // each root is rendered once, its bytes shared
    auto picture = [&](const QString& root) -> QByteArray {
        auto found = pictures.find(root);
        if (found == pictures.end())
            found = pictures.insert(root, GreyPng::encode(RootPictures::stored(root)));
        return *found;
    };

    Tally tally;
    TableWriter writer(outPath, Layouts::codeTable());
    for (const WubiDict::CharCodes& c : codes) {
        QStringList roots;
        if (exceptions.contains(c.text)) {
            roots = exceptions[c.text].roots;
        } else if (derived.contains(c.text)) {
            roots = derived[c.text].roots;
            if (!SplitCheck::failure(keysOf(roots, rootSet), c.fullCode).isEmpty()) {
                if (tally.derivedRejected++ < 10)
                    tally.rejectedSamples.append(c.text);
                roots.clear();
            }
        }
        QVariantList values{c.text, c.shortCode, c.fullCode};
        const QList<int> shown = SplitCheck::shownRoots(int(roots.size()));
        for (int i = 0; i < 4; ++i)
            values.append(i < shown.size() ? picture(roots[shown[i]]) : QByteArray());
        writer.addRow(values, QStringLiteral("%1 (%2)").arg(dictionaryPath, c.text));

        const Level level = gb2312Level(c.text);
        ++tally.total[level];
        if (!roots.isEmpty())
            ++tally.pictured[level];
        else if (level == Level1)
            tally.level1Missing += c.text;
    }
    writer.commit();
    return report(tally, writer.rowCount());
}

}  // namespace CodeTable
