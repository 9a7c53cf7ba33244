#include "progress/recordpictures.h"

#include <QLinearGradient>
#include <QPainter>

#include "drills/fingerkeyboard.h"

namespace RecordPictures {

namespace {

// A picture of the given logical size for the ratio, cleared to transparent.
QPixmap canvas(QSize size, qreal ratio) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

constexpr int kMapWidth = 380;

}  // namespace

QPixmap rootStrip(const std::array<QPixmap, 4>& pictures, qreal ratio) {
    QPixmap strip = canvas(kRootStrip, ratio);
    strip.fill(Qt::white);
    QPainter p(&strip);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int side = kRootStrip.height();
    for (int i = 0; i < 4; ++i)
        if (!pictures[i].isNull())
            p.drawPixmap(QRect(i * side, 0, side, side), pictures[i]);
    return strip;
}

QColor scale(double good) {
    return QColor::fromHsvF(float(qBound(0.0, good, 1.0) * 120.0 / 360.0), 0.55f, 0.95f);
}

QColor heat(double rate) {
    return scale(1 - (rate - kGood) / (kBad - kGood));
}

QPixmap heatMap(const QList<Ranking::KeyScore>& keys, qreal ratio) {
    QRect board;
    for (const FingerKeyboard::Key& key : FingerKeyboard::keys) board |= key.rect();
    board.adjust(-6, -6, 6, 6);
    const qreal scale = qreal(kMapWidth) / board.width();
    QPixmap map = canvas(QSize(kMapWidth, qRound(board.height() * scale)), ratio);
    QPainter p(&map);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    p.translate(-board.topLeft());
    p.setPen(QColor(120, 120, 120));
    p.setBrush(QColor(245, 245, 240));
    p.drawRoundedRect(board, 6, 6);
    QFont letter(QStringLiteral("Arial"));
    letter.setPixelSize(14);
    letter.setBold(true);
    QFont percent(QStringLiteral("Arial"));
    percent.setPixelSize(11);
    for (const FingerKeyboard::Key& key : FingerKeyboard::keys) {
        const QRect r = key.rect().adjusted(1, 1, -1, -1);
        const Ranking::KeyScore* score = nullptr;
        for (const Ranking::KeyScore& k : keys)
            if (k.key == QString(QLatin1Char(key.character)))
                score = &k;
        p.setPen(QColor(90, 90, 90));
        p.setBrush(score ? heat(score->rate()) : kNeverPractised);
        p.drawRoundedRect(r, 3, 3);
        p.setPen(score ? Qt::black : QColor(130, 130, 130));
        p.setFont(letter);
        const QString name =
            key.character == ' ' ? QStringLiteral("空格") : QString(QChar(key.character)).toUpper();
        p.drawText(r.adjusted(3, 1, -2, 0), Qt::AlignLeft | Qt::AlignTop, name);
        if (score) {
            p.setFont(percent);
            p.drawText(r.adjusted(2, 0, -3, -1), Qt::AlignRight | Qt::AlignBottom,
                       QStringLiteral("%1%").arg(qRound(score->rate() * 100)));
        }
    }
    return map;
}

QPixmap heatLegend(const QFont& font, qreal ratio) {
    const QFontMetrics metrics(font);
    const int line = metrics.height();
    QPixmap legend = canvas(QSize(kMapWidth, 14 + 2 + line), ratio);
    QPainter p(&legend);
    p.setFont(font);
    const QRect grey(0, 0, 40, 14), ramp(110, 0, 220, 14);
    p.fillRect(grey, kNeverPractised);
    p.setPen(QColor(90, 90, 90));
    p.drawRect(grey.adjusted(0, 0, -1, -1));
    QLinearGradient colours(ramp.topLeft(), ramp.topRight());
    for (int i = 0; i <= 4; ++i) colours.setColorAt(i / 4.0, heat(kBad * i / 4.0));
    p.fillRect(ramp, colours);
    p.drawRect(ramp.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    const int text = 16;
    p.drawText(QRect(0, text, 100, line), Qt::AlignLeft, QStringLiteral("未练过"));
    p.drawText(QRect(ramp.left(), text, 110, line), Qt::AlignLeft, QStringLiteral("错误率 0%"));
    p.drawText(QRect(ramp.right() - 109, text, 110, line), Qt::AlignRight,
               QStringLiteral("%1% 以上").arg(qRound(kBad * 100)));
    return legend;
}

}  // namespace RecordPictures
