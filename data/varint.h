#pragma once

#include <QByteArray>

// Unsigned integers in seven-bit groups, low group first: the history's packed stroke times and
// hint runs, where nearly every number fits one byte.
namespace Varint {

inline void put(QByteArray& out, quint64 value) {
    while (value >= 0x80) {
        out.append(char(0x80 | (value & 0x7F)));
        value >>= 7;
    }
    out.append(char(value));
}

// False when the bytes end inside a number.
inline bool get(const QByteArray& in, qsizetype& pos, quint64& value) {
    value = 0;
    for (int shift = 0; pos < in.size() && shift < 64; shift += 7) {
        const auto byte = quint8(in[pos++]);
        value |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

}  // namespace Varint
