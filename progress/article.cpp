#include "progress/article.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

#include "platform/errors.h"
#include "platform/gbk.h"
#include "tools/textfile.h"

namespace Article {

namespace {

// Enough bytes for kMaxCharacters in any of the encodings (at most four bytes a character) and
// one more, so that a longer file is seen to be longer.
constexpr qint64 kMaxBytes = 4 * qint64(kMaxCharacters) + 8;

QString firstCharacters(const QString& text, int count, bool* cut) {
    qsizetype end = 0;
    for (int n = 0; n < count && end < text.size(); ++n)
        end += text[end].isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
    *cut = *cut || end < text.size();
    return text.left(end);
}

}  // namespace

Start read(const QString& path) {
    QFile file(path);
    TextFile::openForReading(file);
    const QByteArray bytes = file.read(kMaxBytes);
    if (file.error() != QFileDevice::NoError)
        throw AppError(
            QStringLiteral("无法读取文件 %1：%2。").arg(path, Errors::fileProblem(file, false)));
    Start start;
    start.cut = !file.atEnd();
    start.text = firstCharacters(decode(bytes), kMaxCharacters, &start.cut);
    return start;
}

QString decode(const QByteArray& bytes) {
    int markLength = 0;
    const TextFile::Encoding mark = TextFile::byteOrderMark(bytes, &markLength);
    const QByteArrayView body = QByteArrayView(bytes).sliced(markLength);
    // A decoder keeps an incomplete last character as state instead of an error; it is dropped.
    switch (mark) {
        case TextFile::Encoding::Utf16LE:
            return QStringDecoder(QStringDecoder::Utf16LE).decode(body);
        case TextFile::Encoding::Utf16BE:
            return QStringDecoder(QStringDecoder::Utf16BE).decode(body);
        case TextFile::Encoding::Utf8:
            return QStringDecoder(QStringDecoder::Utf8).decode(body);
        case TextFile::Encoding::None:
            break;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(body);
    return utf8.hasError() ? Gbk::decode(bytes) : text;
}

bool isWubiPunctuation(QChar c) {
    static const QString marks = QStringLiteral("，。、；：？！“”‘’（）《》");
    return marks.contains(c);
}

Kept keepCoded(const QString& text, const std::function<bool(const QString&)>& hasCode) {
    Kept kept;
    QHash<QString, bool> known;
    QString line;
    const auto endLine = [&] {
        if (!line.isEmpty())
            kept.lines << line;
        line.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, n);
        i += n - 1;
        if (c == QLatin1String("\r") || c == QLatin1String("\n")) {
            if (!(c == QLatin1String("\n") && i > 0 && text[i - 1] == QLatin1Char('\r')))
                endLine();
            continue;
        }
        if (c.at(0).isSpace())
            continue;
        if (n == 1 && isWubiPunctuation(c.at(0))) {
            line += c;
            continue;
        }
        auto it = known.find(c);
        if (it == known.end()) {
            it = known.insert(c, hasCode(c));
            if (!*it) {
                ++kept.leftOutCount;
                if (kept.leftOut.size() < kShownLeftOut && c.at(0).isPrint())
                    kept.leftOut += c;
            }
        }
        if (*it)
            line += c;
    }
    endLine();
    return kept;
}

}  // namespace Article
