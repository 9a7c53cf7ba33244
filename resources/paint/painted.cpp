#include "resources/paint/painted.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace Painted {

namespace {

QFont cjkFont(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// One key cap with its letter and, below it, a root of that key.
void paintKey(QPainter& p, QRectF cap, const QString& letter, const QString& root, QColor tone) {
    p.setPen(QPen(tone.darker(160), 1.5));
    p.setBrush(tone);
    p.drawRoundedRect(cap, 6, 6);
    p.setPen(Qt::white);
    p.setFont(cjkFont(int(cap.height() * 0.32), true));
    p.drawText(cap.adjusted(6, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, letter);
    p.setFont(cjkFont(int(cap.height() * 0.45)));
    p.drawText(cap.adjusted(0, 6, -4, -2), Qt::AlignRight | Qt::AlignBottom, root);
}

}  // namespace

QImage titlePicture(qreal ratio) {
    const QRect frame(0, 0, 483, 374);
    QImage picture(frame.size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 374);
    sky.setColorAt(0, QColor(18, 92, 160));
    sky.setColorAt(1, QColor(120, 196, 230));
    p.fillRect(frame, sky);

    QRadialGradient glow(380, 70, 160);
    glow.setColorAt(0, QColor(255, 255, 255, 120));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(frame, glow);

    p.setPen(Qt::white);
    p.setFont(cjkFont(52, true));
    p.drawText(QRect(0, 40, 473, 80), Qt::AlignHCenter, QStringLiteral("五笔速成"));
    p.setFont(cjkFont(20));
    p.drawText(QRect(0, 118, 473, 30), Qt::AlignHCenter,
               QStringLiteral("指法 · 字根 · 文字 循序渐进"));

    // The five zones of the root keyboard, one key each, in their zone colours.
    const struct {
        const char* letter;
        const char* root;
        QColor tone;
    } keys[] = {{"G", "王", QColor(214, 76, 64)},
                {"H", "目", QColor(232, 150, 40)},
                {"T", "禾", QColor(74, 160, 74)},
                {"Y", "言", QColor(56, 118, 200)},
                {"N", "已", QColor(140, 84, 180)}};
    const qreal keySize = 70, gap = 12;
    qreal x = (473 - (5 * keySize + 4 * gap)) / 2;
    for (const auto& key : keys) {
        paintKey(p, QRectF(x, 180, keySize, keySize), QString::fromLatin1(key.letter),
                 QString::fromUtf8(key.root), key.tone);
        x += keySize + gap;
    }

    p.setPen(QColor(255, 255, 255, 200));
    p.setFont(cjkFont(15));
    p.drawText(QRect(0, 280, 473, 24), Qt::AlignHCenter,
               QStringLiteral("从菜单选择一课，开始练习"));
    p.drawText(QRect(0, 306, 473, 24), Qt::AlignHCenter, QStringLiteral("qorvex"));
    return picture;
}

QImage resultPicture(QSize size, qreal ratio) {
    QImage picture(size * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(4, 4, size.width() - 8, size.height() - 8);

    // A stopwatch over a ribbon: time and speed of the page just finished. The ribbon sits on
    // the bottom edge and the watch, crown included, takes the height left above it.
    const qreal ribbonHeight = 30, crown = 12, gap = 6;
    const qreal r = qMin(area.width() * 0.42, (area.height() - ribbonHeight - gap - crown - 2) / 2);
    const QPointF centre(area.center().x(), area.top() + crown + 2 + r);
    p.setPen(QPen(QColor(40, 40, 40), 3));
    p.setBrush(QColor(250, 250, 245));
    p.drawEllipse(centre, r, r);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(centre.x() - 6, centre.y() - r - 12, 12, 10));
    for (int tick = 0; tick < 12; ++tick) {
        p.save();
        p.translate(centre);
        p.rotate(tick * 30);
        p.drawLine(QPointF(0, -r + 4), QPointF(0, -r + (tick % 3 ? 9 : 14)));
        p.restore();
    }
    p.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(r * 0.55, -r * 0.45));
    p.setPen(QPen(QColor(30, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(0, -r * 0.75));

    QPainterPath ribbon;
    const qreal y = area.bottom() - ribbonHeight;
    const qreal h = ribbonHeight;
    ribbon.moveTo(area.left() + 10, y);
    ribbon.lineTo(area.right() - 10, y);
    ribbon.lineTo(area.right() - 22, y + h / 2);
    ribbon.lineTo(area.right() - 10, y + h);
    ribbon.lineTo(area.left() + 10, y + h);
    ribbon.lineTo(area.left() + 22, y + h / 2);
    ribbon.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawPath(ribbon);
    p.setPen(Qt::white);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(area.left(), y, area.width(), h), Qt::AlignCenter, QStringLiteral("成绩"));
    return picture;
}

namespace {

// The teal tile, the colour of the drill windows.
void paintTile(QPainter& painter, int size) {
    const QRectF tile(size * 0.03, size * 0.03, size * 0.94, size * 0.94);
    QLinearGradient tileShade(tile.topLeft(), tile.bottomLeft());
    tileShade.setColorAt(0, QColor(0x1c, 0x9c, 0x9c));
    tileShade.setColorAt(1, QColor(0x0b, 0x5e, 0x60));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tileShade);
    painter.drawRoundedRect(tile, size * 0.18, size * 0.18);
}

const QColor kCapEdge(0xf4, 0xf1, 0xe6);
const QColor kMark(0xb0, 0x1c, 0x1c);

// A title bar shows the icon at 16 to 32 pixels, where an outline of 五 blurs into a bar. There
// the key cap and the character are laid on whole pixels, each stroke at least a pixel wide: the
// top bar, the left stroke from top to bottom, the middle bar turning down on the right, and the
// long bottom bar.
void paintSmallIcon(QPainter& painter, int size) {
    const int margin = qRound(size * 0.12);
    const int shadow = qMax(1, size / 16);
    const QRect cap(margin, margin - shadow / 2, size - 2 * margin, size - 2 * margin);
    painter.setBrush(QColor(0, 0, 0, 90));
    painter.drawRoundedRect(QRectF(cap.translated(0, shadow)), size * 0.08, size * 0.08);
    painter.setBrush(kCapEdge);
    painter.drawRoundedRect(QRectF(cap), size * 0.08, size * 0.08);
    const int pad = qMax(1, size / 10);
    if (size > 16)
        painter.fillRect(cap.adjusted(1, 1, -1, -1), Qt::white);

    const QRect g = cap.adjusted(pad, pad, -pad, -pad);
    const int t = size >= 24 ? 2 : 1;
    const int inset = qRound(g.width() * 0.1);
    const int middle = g.top() + qRound((g.height() - t) * 0.47);
    const int right = g.left() + g.width() - qRound(g.width() * 0.2) - t;
    const int left = g.left() + qRound(g.width() * 0.3);
    const int middleFrom = g.left() + qRound(g.width() * 0.15);
    const QRect strokes[] = {
        QRect(g.left() + inset, g.top(), g.width() - 2 * inset, t),  // top bar
        QRect(left, g.top(), t, g.height()),                         // left stroke
        QRect(middleFrom, middle, right + t - middleFrom, t),        // middle bar
        QRect(right, middle, t, g.bottom() + 1 - middle),            // turning down
        QRect(g.left(), g.bottom() + 1 - t, g.width(), t),           // bottom bar
    };
    for (const QRect& stroke : strokes) painter.fillRect(stroke, kMark);
}

}  // namespace

void paintWindowIcon(QPainter& painter, int size) {
    painter.setRenderHint(QPainter::Antialiasing);
    paintTile(painter, size);
    if (size <= 32) {
        paintSmallIcon(painter, size);
        return;
    }

    // The key cap, a little lighter on its top face, with a shadow below.
    const QRectF cap(size * 0.17, size * 0.15, size * 0.66, size * 0.66);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawRoundedRect(cap.translated(0, size * 0.06), size * 0.1, size * 0.1);
    painter.setBrush(kCapEdge);
    painter.drawRoundedRect(cap, size * 0.1, size * 0.1);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(cap.adjusted(size * 0.05, size * 0.04, -size * 0.05, -size * 0.08),
                            size * 0.07, size * 0.07);

    // 五: the first character of the method's name, drawn as its outline, so the scalable icon
    // needs no font where it is shown.
    const QRectF face = cap.adjusted(size * 0.05, size * 0.03, -size * 0.05, -size * 0.08);
    painter.setBrush(kMark);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(int(size * 0.44));
    font.setBold(true);
    QPainterPath glyph;
    glyph.addText(0, 0, font, QStringLiteral("五"));
    glyph.translate(face.center() - glyph.boundingRect().center());
    painter.drawPath(glyph);
}

QImage windowIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintWindowIcon(painter, size);
    return image;
}

QImage helpPicture(qreal ratio) {
    QImage picture(QSize(24, 24) * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    {
        p.setPen(QPen(QColor(0, 60, 0), 1));
        p.setBrush(QColor(40, 140, 60));
        p.drawRect(QRectF(4.5, 2.5, 15, 19));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 19.5, 15, 2));
        QFont font(QStringLiteral("宋体"));
        font.setPixelSize(12);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(4.5, 2.5, 15, 17), Qt::AlignCenter, QStringLiteral("五"));
    }
    return picture;
}

}  // namespace Painted
