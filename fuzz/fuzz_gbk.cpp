// GBK helpers: encodable text comes back unchanged; byte and character positions agree.
#include "fuzzinput.h"
#include "platform/gbk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = textFromBytes(data, size);
    const QByteArray bytes = Gbk::encode(text);
    FUZZ_ASSERT(bytes.size() == Gbk::byteLength(text));
    if (Gbk::canEncode(text))
        FUZZ_ASSERT(Gbk::decode(bytes) == text);

    // A byte position maps to the start of the character holding it, never inside one.
    for (int b = 0; b <= bytes.size(); ++b) {
        const int pos = Gbk::charPosition(text, b);
        const int start = Gbk::bytePosition(text, pos);
        FUZZ_ASSERT(start <= b);
        FUZZ_ASSERT(Gbk::charPosition(text, start) == pos);
        FUZZ_ASSERT(pos == text.size() || !text[pos].isLowSurrogate() ||
                    !text[pos - 1].isHighSurrogate());
    }
    return 0;
}
