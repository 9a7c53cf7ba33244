#include "drills/rootchart.h"

#include <QPainter>

#include "data/table.h"

namespace RootChart {

namespace {
constexpr int kKeySide = 65;
constexpr int kPitch = 68;

struct Row {
    const char* letters;
    const char* codes;  // two digits per letter
    int top;
    int lefts[10];
};

const Row kRows[] = {
    {"QWERTYUIOP", "35343332314142434445", 13, {56, 124, 192, 260, 328, 396, 464, 533, 601, 669}},
    {"ASDFGHJKL", "151413121121222324", 81, {72, 140, 208, 276, 344, 412, 480, 548, 616}},
    {"XCVBNM", "555453525125", 149, {160, 228, 296, 364, 432, 500}},
};

// Z before X and the key after M are drawn but hold no roots.
QRect greyKey(int index) {
    const Row& lower = kRows[2];
    const int left = index == 0 ? lower.lefts[0] - kPitch : lower.lefts[5] + kPitch;
    return QRect(left, lower.top, kKeySide, kKeySide).translated(-kOrigin);
}

QFont pixelFont(const QString& family, int pixels, bool bold = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void drawKeyFace(QPainter& p, const QRect& key, const QColor& face) {
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(face);
    p.drawRoundedRect(key.adjusted(3, 3, -3, -3), 4, 4);
}

void drawHeading(QPainter& p, const QRect& key, const QString& letter, const QString& code,
                 const QColor& ink) {
    p.setPen(ink);
    p.setFont(pixelFont(QStringLiteral("Arial"), 12, true));
    p.drawText(QRect(key.left() + 5, key.top() + 3, 20, 13), Qt::AlignLeft | Qt::AlignVCenter,
               letter);
    p.setFont(pixelFont(QStringLiteral("Arial"), 10));
    p.drawText(QRect(key.right() - 25, key.top() + 3, 20, 13), Qt::AlignRight | Qt::AlignVCenter,
               code);
}

// Largest square cell that fits every root of the key into the area under the heading. Ten
// roots (most keys hold fewer) still get 14 pixels, the size of small print.
int cellSide(const QRect& area, int count) {
    for (int side = 16; side > 6; --side)
        if ((area.width() / side) * (area.height() / side) >= count)
            return side;
    return 6;
}

// The picture's ink, without the white margin around the glyph: the glyph then fills its cell.
QImage inked(const QImage& picture) {
    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    QRect ink;
    for (int y = 0; y < gray.height(); ++y) {
        const uchar* line = gray.constScanLine(y);
        for (int x = 0; x < gray.width(); ++x)
            if (line[x] < 200)
                ink |= QRect(x, y, 1, 1);
    }
    return ink.isEmpty() ? picture : picture.copy(ink.adjusted(-1, -1, 1, 1));
}

// Scaled to the device pixels of the cell by averaging, not by sampling: a glyph shrunk five
// times keeps every stroke, where sampled pixels drop whole strokes. Centred, aspect kept.
void drawFitted(QPainter& p, const QRect& cell, const QImage& picture) {
    const qreal ratio = p.device()->devicePixelRatioF();
    QImage scaled =
        inked(picture).scaled(cell.size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    const QSizeF size = scaled.deviceIndependentSize();
    p.drawImage(QPointF(cell.left() + (cell.width() - size.width()) / 2,
                        cell.top() + (cell.height() - size.height()) / 2),
                scaled);
}

void drawRoots(QPainter& p, const QRect& key, const QList<QImage>& pictures) {
    const QRect area(key.left() + 4, key.top() + 15, key.width() - 8, key.height() - 17);
    const int side = cellSide(area, int(pictures.size()));
    const int columns = area.width() / side;
    const int capacity = columns * (area.height() / side);
    const int left = area.left() + (area.width() - columns * side) / 2;
    for (int i = 0; i < pictures.size() && i < capacity; ++i)
        drawFitted(p,
                   QRect(left + (i % columns) * side, area.top() + (i / columns) * side, side - 1,
                         side - 1),
                   pictures[i]);
}

QList<QImage> picturesOf(const QList<Root>& roots, const QString& letter) {
    QList<QImage> pictures;
    QStringList seen;
    for (const Root& root : roots) {
        if (root.key.trimmed().toUpper() != letter || root.picture.isNull())
            continue;
        if (!root.no.isEmpty()) {
            if (seen.contains(root.no))
                continue;
            seen << root.no;
        }
        pictures << root.picture;
    }
    return pictures;
}
}  // namespace

QString letters() {
    QString all;
    for (const Row& row : kRows) all += QString::fromLatin1(row.letters);
    return all;
}

QRect frameRect(const QString& letter) {
    for (const Row& row : kRows) {
        const int index = QString::fromLatin1(row.letters).indexOf(letter);
        if (letter.size() == 1 && index >= 0)
            return QRect(row.lefts[index], row.top, kKeySide, kKeySide);
    }
    return QRect();
}

QString zoneCode(const QString& letter) {
    for (const Row& row : kRows) {
        const int index = QString::fromLatin1(row.letters).indexOf(letter);
        if (letter.size() == 1 && index >= 0)
            return QString::fromLatin1(row.codes + 2 * index, 2);
    }
    return QString();
}

QList<Root> readRoots(TTable& table) {
    QList<Root> roots;
    table.First();
    int previous = -1;
    while (table.RecNo() != previous) {
        previous = table.RecNo();
        roots << Root{table.FieldAsString(QStringLiteral("Key")),
                      table.FieldAsString(QStringLiteral("No")).trimmed(),
                      table.FieldAsPicture(QStringLiteral("Pic")).toImage()};
        table.Next();
    }
    return roots;
}

QImage draw(const QList<Root>& roots, qreal ratio) {
    QImage chart(kSize * ratio, QImage::Format_RGB32);
    chart.setDevicePixelRatio(ratio);
    chart.fill(QColor(0, 96, 96));
    QPainter p(&chart);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int grey = 0; grey < 2; ++grey) {
        const QRect key = greyKey(grey);
        drawKeyFace(p, key, QColor(150, 150, 150));
        if (grey == 0)
            drawHeading(p, key, QStringLiteral("Z"), QString(), QColor(90, 90, 90));
    }
    for (const QChar c : letters()) {
        const QString letter(c);
        const QRect key = frameRect(letter).translated(-kOrigin);
        // White, as the roots' pictures are: no box shows round a root.
        drawKeyFace(p, key, Qt::white);
        drawHeading(p, key, letter, zoneCode(letter), QColor(0, 0, 160));
        drawRoots(p, key, picturesOf(roots, letter));
    }
    return chart;
}

}  // namespace RootChart
