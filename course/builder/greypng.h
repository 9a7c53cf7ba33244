#pragma once

#include <QByteArray>
#include <QImage>

// PNG of a picture in four shades of grey, packed two bits a pixel. Qt writes a picture of four
// shades with a byte a pixel; packed, the code table is a fifth smaller and its pictures decode in
// less time.
namespace GreyPng {

// shades: Format_Indexed8 with indices 0..3 meaning black, dark grey, light grey and white.
QByteArray encode(const QImage& shades);

}  // namespace GreyPng
