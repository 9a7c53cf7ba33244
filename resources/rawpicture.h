#pragma once

#include <QByteArray>
#include <QImage>
#include <cstring>

// A picture as its raw scan lines behind a small header, for pictures compiled into the program:
// loading one is a copy, where a BMP or PNG would first be decoded.
namespace RawPicture {

struct Header {
    char magic[4];
    qint32 width, height, format, bytesPerLine;
};

inline QByteArray encode(const QImage& image) {
    const Header header{{'Q', 'R', 'A', 'W'},
                        image.width(),
                        image.height(),
                        int(image.format()),
                        int(image.bytesPerLine())};
    QByteArray bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    return bytes;
}

// The picture over the bytes themselves, without a copy: they must outlive it. A null picture
// when the bytes are not a raw picture.
inline QImage decode(const uchar* data, qint64 size) {
    Header header;
    if (size < qint64(sizeof header))
        return {};
    std::memcpy(&header, data, sizeof header);
    if (std::memcmp(header.magic, "QRAW", 4) != 0 ||
        size < qint64(sizeof header) + qint64(header.bytesPerLine) * header.height)
        return {};
    return QImage(data + sizeof header, header.width, header.height, header.bytesPerLine,
                  QImage::Format(header.format));
}

}  // namespace RawPicture
