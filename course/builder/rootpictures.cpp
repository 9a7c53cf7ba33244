#include "course/builder/rootpictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include "course/builder/tablewriter.h"

namespace RootPictures {

namespace {
QFont cjkFont(int pixelSize) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

const QHash<QString, Strokes>& drawnRoots() {
    static const QHash<QString, Strokes> roots = {
        // 目 with its bottom stroke drawn long, as at the top of 具 and 直
        {"@具头",
         {{28, 10, 28, 80},
          {28, 10, 72, 10, 72, 80},
          {28, 33, 72, 33},
          {28, 56, 72, 56},
          {10, 80, 90, 80}}},
        // the 厂-shaped top of 皮 with its hooked cross stroke and the vertical
        {"@皮头", {{30, 22, 78, 22, 72, 38}, {30, 22, 28, 60, 15, 88}, {54, 6, 54, 58}}},
        // 隹 without 亻: the dot, the vertical and four cross strokes
        {"@隹右",
         {{46, 4, 54, 14},
          {38, 18, 38, 94},
          {38, 22, 86, 22},
          {38, 44, 80, 44},
          {38, 66, 80, 66},
          {38, 90, 92, 90}}},
        // 羊 without 丷: three cross strokes and the vertical
        {"@羊底", {{24, 22, 76, 22}, {30, 48, 70, 48}, {12, 74, 88, 74}, {50, 22, 50, 96}}},
        // the frame of 母, without its dots and its long cross stroke
        {"@母框", {{32, 14, 24, 72, 80, 72}, {32, 14, 76, 14, 72, 88, 62, 82}}},
        // 氏 without 七
        {"@氏无七", {{72, 8, 30, 22}, {30, 22, 30, 86}, {30, 86, 66, 70}}},
        // the top of 鱼: ⺈ over 田 without its bottom stroke
        {"@鱼头",
         {{46, 4, 24, 30},
          {40, 14, 70, 14, 56, 34},
          {26, 40, 26, 90},
          {26, 40, 74, 40, 74, 90},
          {26, 64, 74, 64},
          {50, 40, 50, 90}}},
        // 业 without its bottom stroke
        {"@业头", {{40, 8, 40, 88}, {60, 8, 60, 88}, {18, 34, 28, 66}, {82, 34, 72, 66}}},
        // the bottom of 革: 口 with the vertical through it, over a long cross stroke
        {"@革下",
         {{28, 8, 28, 44},
          {28, 8, 72, 8, 72, 44},
          {28, 44, 72, 44},
          {6, 70, 94, 70},
          {50, 0, 50, 98}}},
        // the top of 兴 and 光: three short strokes over a cross stroke
        {"@兴头", {{22, 14, 32, 42}, {50, 8, 50, 42}, {78, 14, 66, 42}, {8, 64, 92, 64}}},
        // 虍 without 七: ⺊ over the 厂-shaped frame
        {"@虍头",
         {{50, 4, 50, 30}, {50, 16, 78, 16}, {22, 34, 86, 34, 80, 46}, {22, 34, 20, 70, 6, 94}}},
        // 礻 without its last dot
        {"@示旁", {{44, 4, 56, 16}, {18, 34, 74, 34, 22, 80}, {52, 54, 52, 98}}},
        // two left-falling strokes, as in 勿 and 昜
        {"@双撇", {{58, 10, 24, 86}, {84, 26, 52, 90}}},
        // 亠 over 口, the top of 高 and 京
        {"@高头",
         {{50, 2, 50, 16},
          {8, 24, 92, 24},
          {26, 42, 26, 90},
          {26, 42, 74, 42, 74, 90},
          {26, 90, 74, 90}}},
        // 犭 without its long left-falling stroke
        {"@犭头", {{30, 10, 58, 34}, {66, 8, 66, 52, 40, 90}}},
    };
    return roots;
}

QImage draw(const QString& name, int size) {
    const auto found = drawnRoots().constFind(name);
    if (found == drawnRoots().constEnd())
        throw CourseError(QStringLiteral("no drawing for the root %1").arg(name));
    return drawStrokes(*found, size);
}
}  // namespace

QImage drawStrokes(const Strokes& strokes, int size) {
    QImage image(size, size, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The same 80% box and stroke weight as the glyphs, so drawn and rendered roots match.
    const double margin = size * 0.1;
    const double scale = size * 0.8 / 100.0;
    painter.setPen(QPen(Qt::black, size * 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QList<int>& stroke : strokes) {
        QPainterPath path(QPointF(margin + stroke[0] * scale, margin + stroke[1] * scale));
        for (int i = 2; i + 1 < stroke.size(); i += 2)
            path.lineTo(margin + stroke[i] * scale, margin + stroke[i + 1] * scale);
        painter.drawPath(path);
    }
    return image;
}

QImage renderGlyph(const QString& glyph, int size) {
    const QFont font = cjkFont(size * 8 / 10);
    const QFontMetricsF metrics(font);
    for (const uint codePoint : glyph.toUcs4())
        if (!metrics.inFontUcs4(codePoint))
            throw CourseError(
                QStringLiteral("the CJK font has no glyph for %1 (U+%2)")
                    .arg(QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1))
                    .arg(codePoint, 4, 16, QLatin1Char('0')));
    QImage image(size, size, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph);
    return image;
}

QImage render(const QString& glyphOrDrawing, int size) {
    if (glyphOrDrawing.startsWith(QLatin1Char('@')))
        return draw(glyphOrDrawing, size);
    return renderGlyph(glyphOrDrawing, size);
}

QImage stored(const QString& glyphOrDrawing, int size) {
    constexpr int kShades = 4;
    const QImage gray = render(glyphOrDrawing, size);
    QImage image(gray.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < kShades; ++i)
        table.append(
            qRgb(i * 255 / (kShades - 1), i * 255 / (kShades - 1), i * 255 / (kShades - 1)));
    image.setColorTable(table);
    for (int y = 0; y < gray.height(); ++y) {
        const uchar* from = gray.constScanLine(y);
        uchar* to = image.scanLine(y);
        for (int x = 0; x < gray.width(); ++x) to[x] = uchar((from[x] * (kShades - 1) + 127) / 255);
    }
    return image;
}

QStringList drawings() {
    QStringList names = drawnRoots().keys();
    names.sort();
    return names;
}

}  // namespace RootPictures
