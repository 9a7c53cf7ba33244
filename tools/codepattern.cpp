#include "tools/codepattern.h"

namespace CodePattern {

bool queries(const QString& code) {
    return code.size() >= 2;
}

QString pattern(const QString& code) {
    QString result;
    for (int i = 0; i < 4; ++i) {
        if (i >= code.size())
            result += QLatin1Char('%');
        else if (code[i] == QLatin1Char('z'))
            result += QLatin1Char('_');
        else
            result += code[i];
    }
    return result;
}

QByteArray keyBeforeCaret(const QByteArray& gbkText, int caret) {
    qsizetype start = 0, width = 0;
    for (qsizetype at = 0; at < gbkText.size(); at += width) {
        // A byte from 0x81 to 0xFE leads a two-byte character; its second byte may look like ASCII.
        const uchar byte = uchar(gbkText[at]);
        width = byte >= 0x81 && byte <= 0xFE && at + 1 < gbkText.size() ? 2 : 1;
        start = at;
        if (at + width >= caret)
            break;
    }
    return width == 2 ? gbkText.mid(start, 2) : QByteArray();
}

}  // namespace CodePattern
