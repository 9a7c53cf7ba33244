#include "platform/gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Gbk {

namespace {

// Width in bytes of the code point starting at text[i]; step receives its UTF-16 length.
int widthAt(QStringView text, qsizetype i, qsizetype* step) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *step = 2;
        return 2;
    }
    *step = 1;
    return c.unicode() < 0x80 ? 1 : 2;
}

QByteArray encodeOne(QStringView codePoint) {
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(codePoint);
    if (encoder.hasError() || bytes.size() != 2)
        return QByteArray(kUnmappable, 2);
    return bytes;
}

}  // namespace

QByteArray encode(QStringView text) {
    QStringEncoder encoder("GBK");
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError() && bytes.size() == byteLength(text))
        return bytes;
    // Slow path: some character has no two-byte code; encode one code point at a time.
    bytes.clear();
    qsizetype step = 1;
    for (qsizetype i = 0; i < text.size(); i += step) {
        if (widthAt(text, i, &step) == 1)
            bytes.append(char(text[i].unicode()));
        else
            bytes.append(encodeOne(text.mid(i, step)));
    }
    return bytes;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

bool canEncode(QStringView text) {
    return !holdsUnmappable(encode(text));
}

bool holdsUnmappable(const QByteArray& bytes) {
    return bytes.contains(kUnmappable[0]);
}

bool isDoubleByteCharacter(const QByteArray& bytes) {
    if (bytes.size() != 2 || uchar(bytes[0]) < 0x81 || uchar(bytes[0]) == 0xFF)
        return false;
    QStringDecoder decoder("GBK");
    const QString text = decoder.decode(bytes);
    return !decoder.hasError() && text.size() == 1 && text[0] != QChar::ReplacementCharacter;
}

int byteLength(QStringView text) {
    int bytes = 0;
    qsizetype step = 1;
    for (qsizetype i = 0; i < text.size(); i += step) bytes += widthAt(text, i, &step);
    return bytes;
}

int bytePosition(QStringView text, int pos) {
    return byteLength(text.left(qBound(0, pos, int(text.size()))));
}

int charPosition(QStringView text, int bytePos) {
    int bytes = 0;
    qsizetype step = 1;
    for (qsizetype i = 0; i < text.size(); i += step) {
        const int width = widthAt(text, i, &step);
        if (bytes + width > bytePos)
            return int(i);
        bytes += width;
    }
    return int(text.size());
}

}  // namespace Gbk
