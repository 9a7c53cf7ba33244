#include "course/builder/wordlist.h"
#include "course/builder/rimedict.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <algorithm>

#include "course/builder/tablewriter.h"
#include "platform/gbk.h"

namespace WordList {

namespace {

bool isWubiCode(const QString& code) {
    if (code.isEmpty() || code.size() > 4 || code.startsWith(QLatin1Char('z')))
        return false;
    return std::all_of(code.begin(), code.end(),
                       [](QChar c) { return c >= QLatin1Char('a') && c <= QLatin1Char('z'); });
}

bool isHanText(const QString& text) {
    const QList<uint> points = text.toUcs4();
    return !points.isEmpty() && std::all_of(points.begin(), points.end(), [](uint p) {
        return QChar::script(p) == QChar::Script_Han;
    });
}

bool kept(const Word& w) {
    if (!Gbk::canEncode(w.text) || Gbk::decode(Gbk::encode(w.text)) != w.text)
        return false;
    return w.text.size() == 1 || w.weight >= kCommonPhraseWeight;
}

}  // namespace

QList<Word> read(const QString& dictionaryPath) {
    QHash<QString, QList<Word>> byCode;
    QStringList codes;
    RimeDict::forEachRow(
        dictionaryPath, QStringLiteral("rime-data-wubi"), [&](const QStringList& fields, int) {
            if (fields.size() < 2 || !isHanText(fields[0]) || !isWubiCode(fields[1]))
                return;
            QList<Word>& list = byCode[fields[1]];
            if (list.isEmpty())
                codes << fields[1];
            list.append({fields[0], fields[1], 0, qint64(fields.value(2).toDouble())});
        });
    std::sort(codes.begin(), codes.end());
    QList<Word> words;
    for (const QString& code : codes) {
        QList<Word>& list = byCode[code];
        std::stable_sort(list.begin(), list.end(),
                         [](const Word& a, const Word& b) { return a.weight > b.weight; });
        for (int place = 0; place < list.size(); ++place) {
            list[place].place = place;
            if (kept(list[place]))
                words.append(list[place]);
        }
    }
    return words;
}

QString write(const QList<Word>& words, const QString& outPath) {
    QString text;
    int phrases = 0;
    for (const Word& w : words) {
        text += QStringLiteral("%1\t%2\t%3\t%4\n").arg(w.text, w.code).arg(w.place).arg(w.weight);
        phrases += w.text.size() > 1 ? 1 : 0;
    }
    QSaveFile file(outPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw CourseError(outPath + ": " + file.errorString());
    return QStringLiteral("words.txt: %1 codes of characters, %2 of phrases\n")
        .arg(words.size() - phrases)
        .arg(phrases);
}

}  // namespace WordList
