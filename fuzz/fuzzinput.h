#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// Turns fuzzer bytes into text: pairs of bytes are UTF-16 code units, so every code point,
// surrogate pairs and lone surrogates included, can come up.
inline QString textFromBytes(const uint8_t* data, size_t size) {
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
    return text;
}

// Every harness stops the run at the first broken property, with the input that broke it saved.
#define FUZZ_ASSERT(condition) \
    do {                       \
        if (!(condition))      \
            __builtin_trap();  \
    } while (0)
