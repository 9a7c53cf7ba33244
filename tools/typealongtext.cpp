#include "tools/typealongtext.h"

#include <QRandomGenerator>
#include <algorithm>

#include "progress/article.h"

namespace TypeAlongText {

QString prepare(const QString& loaded, bool removeBlanks) {
    QString text;
    text.reserve(qMin(loaded.size(), qsizetype(Article::kMaxCharacters)));
    int count = 0;
    for (qsizetype i = 0; i < loaded.size() && count < Article::kMaxCharacters; ++i) {
        const QChar c = loaded[i];
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || (removeBlanks && c.isSpace()))
            continue;
        text += c;
        count += c.isHighSurrogate() ? 0 : 1;
    }
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    return text;
}

QStringList sections(const QString& text, int length, bool shuffled) {
    QStringList list;
    length = qMax(1, length);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        for (int n = 0; n < length && end < text.size(); ++n)
            end += text[end].isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        list << text.mid(start, end - start);
        start = end;
    }
    if (shuffled)
        std::shuffle(list.begin(), list.end(), *QRandomGenerator::global());
    return list;
}

int characterCount(QStringView text) {
    int n = 0;
    for (QChar c : text) n += c.isLowSurrogate() ? 0 : 1;
    return n;
}

}  // namespace TypeAlongText
