#include "progress/masterymap.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "progress/recordpictures.h"

namespace {

struct Row {
    const char* keys;
    qreal indent;  // in key pitches, as the rows of a keyboard are staggered
};
// Z has no roots: its place stays empty, so that X lies where the fingers find it.
const Row kRows[] = {{"qwertyuiop", 0}, {"asdfghjkl", 0.25}, {"xcvbnm", 1.75}};
constexpr int kKeysAcross = 10;
constexpr int kGap = 4;
constexpr int kPadding = 3;

const QColor kLocked(214, 214, 214);

QFont pixelFont(const QString& family, int pixels, bool bold = false) {
    QFont font(family);
    font.setPixelSize(qMax(1, pixels));
    font.setBold(bold);
    return font;
}

// The row of a key and its place in it; row -1 for a key that is not drawn.
QPair<int, int> placeOf(QChar key) {
    for (int row = 0; row < 3; ++row) {
        const int index = int(QByteArray(kRows[row].keys).indexOf(char(key.toLatin1())));
        if (index >= 0)
            return {row, index};
    }
    return {-1, -1};
}

}  // namespace

MasteryMap::MasteryMap(QWidget* parent) : QWidget(parent) {
    setObjectName("MasteryMap");
}

QList<MasteryMap::Root> MasteryMap::rootsOf(const Wubi::CodeBook& book,
                                            const Mastery::Tracker& tracker,
                                            const QString& keysInPlay, double targetMs) {
    QList<Root> roots;
    for (QChar key : QStringLiteral("qwertyuiopasdfghjklxcvbnm"))
        for (const QString& name : book.rootsOn(key))
            roots.append({name,
                          key,
                          !keysInPlay.contains(key),
                          Mastery::confidence(tracker.roots.value(name), targetMs),
                          {}});
    return roots;
}

QColor MasteryMap::colour(const Root& root) {
    return root.locked ? kLocked : RecordPictures::scale(root.confidence);
}

void MasteryMap::setRoots(const QList<Root>& list) {
    drawn.clear();
    rest.clear();
    onKey.clear();
    QHash<QChar, QList<int>> byKey;
    QString keys;
    for (int i = 0; i < list.size(); ++i) {
        if (!byKey.contains(list[i].key))
            keys += list[i].key;
        byKey[list[i].key] << i;
    }
    for (QChar key : keys) {
        QList<int> indices = byKey.value(key);
        if (indices.size() > kShownOnKey) {
            // The key's first root, then the weakest: what the pupil still has to learn.
            std::stable_sort(indices.begin() + 1, indices.end(),
                             [&](int a, int b) { return list[a].confidence < list[b].confidence; });
            for (int i : indices.mid(kShownOnKey - 1)) rest[key] << list[i];
            indices = indices.mid(0, kShownOnKey - 1);
            std::sort(indices.begin(), indices.end());
        }
        for (int i : indices) drawn << list[i];
        onKey[key] = int(indices.size()) + (rest.contains(key) ? 1 : 0);
    }
    update();
}

QString MasteryMap::restOf(QChar key) const {
    QStringList names;
    for (const Root& root : rest.value(key))
        names << (root.locked ? Wubi::CodeBook::rootText(root.name)
                              : QStringLiteral("%1 %2%")
                                    .arg(Wubi::CodeBook::rootText(root.name))
                                    .arg(qRound(qMin(root.confidence, 1.0) * 100)));
    return QStringLiteral("%1键另有：%2").arg(key.toUpper()).arg(names.join(QStringLiteral("，")));
}

QSize MasteryMap::sizeHint() const {
    return {760, 220};
}

QSize MasteryMap::minimumSizeHint() const {
    return {480, 150};
}

MasteryMap::Layout MasteryMap::layout() const {
    Layout l;
    l.legendTop = height() - (fontMetrics().height() + 6);
    l.pitch = qreal(width()) / kKeysAcross;
    const qreal rowHeight = qreal(l.legendTop) / 3;
    l.letter = qBound(9, int(rowHeight * 0.2), 12);
    l.across = int(l.pitch) - kGap - 2 * kPadding;
    l.down = int(rowHeight) - kGap - l.letter - 2 * kPadding;
    return l;
}

MasteryMap::Grid MasteryMap::gridOf(const Layout& l, QChar key) const {
    const int count = qMax(1, onKey.value(key));
    Grid g;
    for (int columns = 1; columns <= count; ++columns) {
        const int lines = (count + columns - 1) / columns;
        const int cell = qMin(l.across / columns, l.down / lines);
        if (cell > g.cell) {
            g.cell = cell;
            g.columns = columns;
        }
    }
    return g;
}

QRectF MasteryMap::keyRect(const Layout& l, QChar key) const {
    const auto [row, index] = placeOf(key);
    if (row < 0)
        return {};
    const qreal rowHeight = qreal(l.legendTop) / 3;
    return QRectF((kRows[row].indent + index) * l.pitch + kGap / 2.0, row * rowHeight + kGap / 2.0,
                  l.pitch - kGap, rowHeight - kGap);
}

QRect MasteryMap::cellRect(const Layout& l, QChar key, int index) const {
    const QRectF k = keyRect(l, key);
    if (k.isNull())
        return {};
    const Grid g = gridOf(l, key);
    const int left = int(k.left() + (k.width() - g.columns * g.cell) / 2);
    const int top = int(k.top()) + kPadding + l.letter;
    return QRect(left + (index % g.columns) * g.cell, top + (index / g.columns) * g.cell,
                 g.cell - 1, g.cell - 1);
}

QRect MasteryMap::cellOf(const QString& name) const {
    const Layout l = layout();
    QHash<QChar, int> perKey;
    for (const Root& root : drawn) {
        const int index = perKey[root.key]++;
        if (root.name == name)
            return cellRect(l, root.key, index);
    }
    for (auto it = rest.cbegin(); it != rest.cend(); ++it)
        for (const Root& root : *it)
            if (root.name == name)
                return cellRect(l, it.key(), onKey.value(it.key()) - 1);
    return {};
}

void MasteryMap::paintEvent(QPaintEvent*) {
    const Layout l = layout();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const Row& row : kRows)
        for (const char* key = row.keys; *key; ++key) {
            const QRectF k = keyRect(l, QLatin1Char(*key));
            p.setPen(QColor(120, 120, 120));
            p.setBrush(QColor(248, 248, 245));
            p.drawRoundedRect(k, 3, 3);
            p.setPen(QColor(60, 60, 60));
            p.setFont(pixelFont(QStringLiteral("Arial"), l.letter - 1, true));
            p.drawText(k.adjusted(kPadding, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                       QString(QLatin1Char(*key)).toUpper());
        }
    QHash<QChar, int> perKey;
    for (const Root& root : drawn) {
        const QRect cell = cellRect(l, root.key, perKey[root.key]++);
        if (cell.isNull())
            continue;
        // A CJK glyph's ink lies inside its em: the em may take the whole cell.
        p.setFont(pixelFont(QStringLiteral("Noto Sans CJK SC"), cell.height()));
        p.fillRect(cell, colour(root));
        if (!root.picture.isNull()) {
            // Black strokes on white: multiplied, the white takes the cell's colour.
            p.setCompositionMode(QPainter::CompositionMode_Multiply);
            p.setOpacity(root.locked ? 0.45 : 1);
            p.drawPixmap(cell, root.picture);
            p.setOpacity(1);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        } else {
            p.setPen(root.locked ? QColor(140, 140, 140) : Qt::black);
            p.drawText(cell, Qt::AlignCenter, Wubi::CodeBook::rootText(root.name));
        }
    }
    for (auto it = rest.cbegin(); it != rest.cend(); ++it) {
        const QRect cell = cellRect(l, it.key(), onKey.value(it.key()) - 1);
        p.setPen(QColor(60, 60, 60));
        p.setFont(pixelFont(QStringLiteral("Arial"), cell.height() * 3 / 5, true));
        p.drawText(cell, Qt::AlignCenter, QStringLiteral("+%1").arg(it->size()));
    }
    paintLegend(p, l);
}

void MasteryMap::paintLegend(QPainter& p, const Layout& l) {
    const QFontMetrics metrics = fontMetrics();
    const int top = l.legendTop + 4, side = metrics.height() - 4;
    p.setFont(font());
    int x = kGap / 2;
    const auto text = [&](const QString& caption) {
        const int width = metrics.horizontalAdvance(caption);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(x, l.legendTop + 2, width + 2, metrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, caption);
        x += width + 8;
    };
    const auto swatch = [&](int width, const QBrush& brush) {
        const QRect box(x, top + 1, width, side - 2);
        p.fillRect(box, brush);
        p.setPen(QColor(120, 120, 120));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
        x += width + 6;
    };
    text(QStringLiteral("字根掌握程度："));
    swatch(side * 2, kLocked);
    text(QStringLiteral("未解锁"));
    text(QStringLiteral("生疏"));
    QLinearGradient ramp(x, 0, x + 120, 0);
    for (int i = 0; i <= 4; ++i) ramp.setColorAt(i / 4.0, RecordPictures::scale(i / 4.0));
    swatch(120, ramp);
    text(QStringLiteral("熟练"));
}

bool MasteryMap::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const QPoint at = static_cast<QHelpEvent*>(event)->pos();
    const Layout l = layout();
    QHash<QChar, int> perKey;
    for (const Root& root : drawn)
        if (cellRect(l, root.key, perKey[root.key]++).contains(at)) {
            const QString name = QStringLiteral("%1（%2键）")
                                     .arg(Wubi::CodeBook::rootText(root.name))
                                     .arg(root.key.toUpper());
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                               root.locked
                                   ? name + QStringLiteral("：智能练习还没有练到这个键")
                                   : name + QStringLiteral("：掌握 %1%")
                                                .arg(qRound(qMin(root.confidence, 1.0) * 100)),
                               this);
            return true;
        }
    for (auto it = rest.cbegin(); it != rest.cend(); ++it)
        if (cellRect(l, it.key(), onKey.value(it.key()) - 1).contains(at)) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), restOf(it.key()),
                               this);
            return true;
        }
    QToolTip::hideText();
    event->ignore();
    return true;
}
