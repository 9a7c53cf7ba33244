#pragma once

#include <QImage>
#include <QString>

// Pictures of Wubi roots and strokes for the picture fields of the tables.
namespace RootPictures {

inline constexpr int kSize = 75;

// Renders a root given as its glyph(s) with the CJK font, black on white, size x size pixels.
// Throws CourseError when the font has no glyph for a character.
QImage renderGlyph(const QString& glyph, int size = kSize);

}  // namespace RootPictures
