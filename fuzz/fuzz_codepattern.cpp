// The code lookup's pattern: always four characters, typed letters kept in place.
#include "fuzzinput.h"
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
    return 0;
}
