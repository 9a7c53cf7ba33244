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
    // No stepping over single-byte characters: after "a" the key is the byte before it and "a".
    return gbkText.mid(caret <= 1 ? 0 : caret - 2, 2);
}

}  // namespace CodePattern
