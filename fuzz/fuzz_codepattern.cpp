// The code lookup's rules: the pattern is always four characters with typed letters kept in
// place; the character looked up before the caret is a whole character of the text, never two
// bytes straddling two characters.
#include "fuzzinput.h"
#include "platform/gbk.h"
#include "tools/codepattern.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString code = textFromBytes(data, size).left(4);
    const QString pattern = CodePattern::pattern(code);
    FUZZ_ASSERT(pattern.size() == 4);
    for (int i = 0; i < 4; ++i) {
        if (i >= code.size())
            FUZZ_ASSERT(pattern[i] == QLatin1Char('%'));
        else if (code[i] == QLatin1Char('z'))
            FUZZ_ASSERT(pattern[i] == QLatin1Char('_'));
        else
            FUZZ_ASSERT(pattern[i] == code[i]);
    }
    FUZZ_ASSERT(CodePattern::queries(code) == (code.size() >= 2));

    const QString text = textFromBytes(data, size);
    const QByteArray bytes = Gbk::encode(text);
    for (int pos = 0; pos <= text.size(); ++pos) {
        if (pos > 0 && pos < text.size() && text[pos].isLowSurrogate())
            continue;
        const QByteArray key = CodePattern::keyBeforeCaret(bytes, Gbk::bytePosition(text, pos));
        if (key.isEmpty())
            continue;
        // The character before the caret, or the first one when the caret is at the start.
        const int before = pos == 0 ? 0 : Gbk::charPosition(text, Gbk::bytePosition(text, pos) - 1);
        const int start = Gbk::bytePosition(text, before);
        FUZZ_ASSERT(key.size() == 2 && bytes.mid(start, 2) == key);
    }
    return 0;
}
