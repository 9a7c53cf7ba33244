#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// Pictures of Wubi roots and strokes for the picture fields of the tables.
namespace RootPictures {

// The windows show root pictures 75 x 75. They are stored at twice that, so that a screen of twice
// the density shows them as sharp as the text beside them; an ordinary screen scales them down.
inline constexpr int kShownSize = 75;
inline constexpr int kSize = 2 * kShownSize;

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

// The picture as the code table stores it (GreyPng): the rendered root in four shades of gray,
// which keeps the edges smooth at a fraction of the bytes of a full grayscale PNG. Indices 0..3 of
// the colour table run from black to white.
QImage stored(const QString& glyphOrDrawing, int size = kSize);

// The names of the drawn roots, with their "@".
QStringList drawings();

}  // namespace RootPictures
