#include "course/builder/rootpictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include "course/builder/tablewriter.h"

namespace RootPictures {

namespace {
QFont cjkFont(int pixelSize)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}
}  // namespace

QImage renderGlyph(const QString& glyph, int size)
{
    const QFont font = cjkFont(size * 8 / 10);
    const QFontMetricsF metrics(font);
    for (const uint codePoint : glyph.toUcs4())
        if (!metrics.inFontUcs4(codePoint))
            throw CourseError(QStringLiteral("the CJK font has no glyph for %1 (U+%2)")
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

}  // namespace RootPictures
