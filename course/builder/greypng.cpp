#include "course/builder/greypng.h"

#include <QtEndian>
#include <array>

namespace GreyPng {

namespace {

quint32 crc32(const QByteArray& bytes) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const char b : bytes) c = table[(c ^ quint8(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray bigEndian(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const char* type, const QByteArray& data) {
    const QByteArray typed = QByteArray(type, 4) + data;
    return bigEndian(quint32(data.size())) + typed + bigEndian(crc32(typed));
}

}  // namespace

QByteArray encode(const QImage& shades) {
    const int width = shades.width(), height = shades.height();
    // Two bits a pixel, grey; deflate, no filtering, no interlacing.
    const QByteArray header = bigEndian(quint32(width)) + bigEndian(quint32(height)) +
                              QByteArray("\x02\x00\x00\x00\x00", 5);
    const int rowBytes = (width + 3) / 4;
    QByteArray rows(height * (1 + rowBytes), '\0');  // each row: filter type 0, then the pixels
    for (int y = 0; y < height; ++y) {
        const uchar* from = shades.constScanLine(y);
        char* to = rows.data() + y * (1 + rowBytes) + 1;
        for (int x = 0; x < width; ++x)
            to[x / 4] = char(to[x / 4] | (from[x] & 3) << (6 - 2 * (x % 4)));
    }
    // qCompress puts the length before the zlib stream that PNG wants.
    const QByteArray compressed = qCompress(rows, 9).mid(4);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", compressed) +
           chunk("IEND", {});
}

}  // namespace GreyPng
