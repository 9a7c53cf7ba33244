#include "progress/article.h"

#include <QHash>
#include <QStringDecoder>

#include "platform/gbk.h"

namespace Article {

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    return Gbk::decode(bytes);
}

Kept keepCoded(const QString& text, const std::function<bool(const QString&)>& hasCode) {
    Kept kept;
    QHash<QString, bool> known;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, n);
        i += n - 1;
        if (c.at(0).isSpace())
            continue;
        auto it = known.find(c);
        if (it == known.end())
            it = known.insert(c, hasCode(c));
        if (*it)
            kept.text += c;
        else if (!kept.leftOut.contains(c))
            kept.leftOut += c;
    }
    return kept;
}

}  // namespace Article
