#include "tools/modeltext.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kMargin = 8;
constexpr int kLegendHeight = 20;

}  // namespace

ModelText::ModelText(QWidget* parent) : QWidget(parent) {
    QFont big = font();
    big.setPixelSize(22);
    setFont(big);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

QColor ModelText::codeColour(int letters) {
    switch (letters) {
        case 1:
            return QColor(0x8e, 0x24, 0xaa);
        case 2:
            return QColor(0x15, 0x65, 0xc0);
        case 3:
            return QColor(0x2e, 0x7d, 0x32);
        default:
            return QColor(0xe6, 0x51, 0x00);
    }
}

void ModelText::setText(const QString& text, const WordTable::Ideal& cheapest) {
    model = text;
    typed.clear();
    ideal = cheapest;
    segmentAt.assign(model.size(), -1);
    for (int s = 0; s < ideal.segments.size(); ++s) {
        const WordTable::Segment& seg = ideal.segments[s];
        for (int i = seg.from; i < seg.from + seg.length && i < int(model.size()); ++i)
            segmentAt[i] = s;
    }
    update();
}

void ModelText::setTyped(const QString& now) {
    typed = now;
    update();
}

void ModelText::setHints(bool on) {
    showHints = on;
    update();
}

int ModelText::cellWidth() const {
    return fontMetrics().horizontalAdvance(QChar(0x4E2D)) + 4;
}

int ModelText::rowHeight() const {
    return fontMetrics().height() + (showHints ? 16 : 0) + 8;
}

int ModelText::columns() const {
    return qMax(1, (width() - 2 * kMargin) / cellWidth());
}

int ModelText::firstRow() const {
    const int cols = columns();
    const int rows = int((model.size() + cols - 1) / cols);
    const int visible = qMax(1, (height() - kLegendHeight - kMargin) / rowHeight());
    // The pupil's row is the second in sight, so the row just typed stays readable.
    const int current = int(qMin(typed.size(), model.size())) / cols;
    return qBound(0, current - 1, qMax(0, rows - visible));
}

void ModelText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int cols = columns(), cell = cellWidth(), rowH = rowHeight();
    const int visible = qMax(1, (height() - kLegendHeight - kMargin) / rowH);
    const int first = firstRow();
    QFont small = font();
    small.setPixelSize(12);
    const QFontMetrics smallMetrics(small);
    const int textHeight = fontMetrics().height();
    for (int row = first; row < first + visible; ++row) {
        for (int col = 0; col < cols; ++col) {
            const int i = row * cols + col;
            if (i >= model.size())
                break;
            const QRect box(kMargin + col * cell, kMargin + (row - first) * rowH, cell, textHeight);
            QColor ink = Qt::black;
            if (i < typed.size())
                ink = typed[i] == model[i] ? QColor(0x9e, 0x9e, 0x9e) : QColor(Qt::red);
            if (i == typed.size())
                painter.fillRect(box, QColor(0xff, 0xf1, 0x76));
            if (i < typed.size() && typed[i] != model[i])
                painter.fillRect(box, QColor(0xff, 0xeb, 0xee));
            painter.setPen(ink);
            painter.setFont(font());
            if (!model[i].isLowSurrogate())
                painter.drawText(box, Qt::AlignCenter,
                                 model.mid(i, model[i].isHighSurrogate() ? 2 : 1));
            const int s = i < int(segmentAt.size()) ? segmentAt[i] : -1;
            if (!showHints || s < 0 || ideal.segments[s].code.isEmpty())
                continue;
            const WordTable::Segment& seg = ideal.segments[s];
            const QColor colour = codeColour(int(seg.code.size()));
            painter.fillRect(box.left() + 1, box.bottom() + 1, cell - 2, 2, colour);
            if (i != seg.from && col != 0)
                continue;  // the code stands under the word's first cell of each row
            QString label = i == seg.from ? seg.code : QString();
            if (i == seg.from && seg.selection)
                label += QString::number(seg.place + 1);
            painter.setFont(small);
            painter.setPen(colour);
            const QPoint at(box.left() + 2, box.bottom() + 4 + smallMetrics.ascent());
            painter.drawText(at, label);
            if (i == seg.from && seg.topScreen) {
                const int x = at.x() + smallMetrics.horizontalAdvance(label) + 2;
                const int y = at.y() - smallMetrics.ascent() / 2;
                QPainterPath mark;
                mark.moveTo(x, y - 4);
                mark.lineTo(x + 6, y);
                mark.lineTo(x, y + 4);
                mark.closeSubpath();
                painter.fillPath(mark, colour);
            }
        }
    }
    // The legend: what the colours and marks of the hints mean.
    if (!showHints)
        return;
    painter.setFont(small);
    int x = kMargin;
    const int y = height() - 6;
    painter.setPen(Qt::black);
    painter.drawText(x, y, QStringLiteral("码长"));
    x += smallMetrics.horizontalAdvance(QStringLiteral("码长 "));
    for (int letters = 1; letters <= 4; ++letters) {
        painter.setPen(codeColour(letters));
        painter.drawText(x, y, QString::number(letters));
        x += smallMetrics.horizontalAdvance(QStringLiteral("4 "));
    }
    painter.setPen(Qt::black);
    painter.drawText(x + 8, y, QStringLiteral("码后数字：选重键　▶：标点顶屏，不打空格"));
}
