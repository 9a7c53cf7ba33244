#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// Pictures of Wubi roots and strokes for the picture fields of the tables.
namespace RootPictures {

inline constexpr int kSize = 75;

// Renders a root given as its glyph(s) with the CJK font, black on white, size x size pixels.
// Throws CourseError when the font has no glyph for a character.
QImage renderGlyph(const QString& glyph, int size = kSize);

// Renders a root named as in course/wubi/roots.txt: "@name" is drawn from strokes (for roots
// that have no glyph of their own), anything else is rendered as glyphs.
QImage render(const QString& glyphOrDrawing, int size = kSize);

// A drawn shape: polylines on a 100 x 100 grid, each a list of x, y pairs.
using Strokes = QList<QList<int>>;

// Draws a shape black on white, size x size pixels, in the box and stroke weight of the
// rendered glyphs.
QImage drawStrokes(const Strokes& strokes, int size = kSize);

// The picture as the tables store it: the rendered root in four shades of gray, which keeps the
// edges smooth at a third of the bytes of a full grayscale PNG.
QImage stored(const QString& glyphOrDrawing, int size = kSize);

// The names of the drawn roots, with their "@".
QStringList drawings();

}  // namespace RootPictures
