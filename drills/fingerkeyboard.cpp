#include "drills/fingerkeyboard.h"

#include <QPainter>

namespace FingerKeyboard {

namespace {

constexpr int kKeyHeight = 33;
constexpr int kRowTops[] = {7, 47, 87, 127, 167};  // digit, Q, A, Z and bottom rows

// The keys without a shape, in picture coordinates.
struct PlainKey {
    int left, row, width;
    const char* label;
};

constexpr PlainKey plainKeys[] = {
    {7, 0, 38, "`"},       {54, 0, 38, "1"},       {100, 0, 38, "2"},  {147, 0, 38, "3"},
    {194, 0, 38, "4"},     {240, 0, 38, "5"},      {287, 0, 38, "6"},  {334, 0, 38, "7"},
    {380, 0, 38, "8"},     {427, 0, 38, "9"},      {474, 0, 38, "0"},  {520, 0, 38, "-"},
    {567, 0, 38, "="},     {614, 0, 66, "Back"},   {4, 1, 64, "Tab"},  {544, 1, 38, "["},
    {590, 1, 38, "]"},     {637, 1, 43, "\\"},     {4, 2, 76, "Caps"}, {556, 2, 38, "'"},
    {602, 2, 78, "Enter"}, {4, 3, 99, "Shift"},    {439, 3, 38, ","},  {485, 3, 38, "."},
    {532, 3, 38, "/"},     {578, 3, 102, "Shift"}, {4, 4, 74, "Ctrl"}, {86, 4, 74, "Alt"},
    {476, 4, 74, "Alt"},   {606, 4, 74, "Ctrl"},
};

const QColor kBoard(200, 200, 192);
const QColor kOutline(40, 40, 40);
const QColor kLetterKey(88, 96, 120);  // the keys the drill marks, darker
const QColor kOtherKey(236, 236, 228);

void drawKey(QPainter& p, const QRect& r, const QColor& face, const QString& label) {
    p.setPen(kOutline);
    p.setBrush(face);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(face.lightness() < 128 ? Qt::white : Qt::black);
    p.drawText(r, Qt::AlignCenter, label);
}

}  // namespace

const Key* find(const QString& character) {
    if (character.size() != 1)
        return nullptr;
    for (const Key& key : keys)
        if (character.at(0) == QLatin1Char(key.character))
            return &key;
    return nullptr;
}

QPixmap picture(qreal ratio) {
    QPixmap pixmap(pictureSize * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(kBoard);
    QPainter p(&pixmap);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kOutline);
    p.drawRect(0, 0, pictureSize.width() - 1, pictureSize.height() - 1);

    for (const PlainKey& key : plainKeys)
        drawKey(p, QRect(key.left, kRowTops[key.row], key.width, kKeyHeight), kOtherKey,
                QString::fromLatin1(key.label));
    for (const Key& key : keys) {
        const QRect r = key.rect().translated(-pictureOrigin);
        const QString label =
            key.character == ' ' ? QString() : QString(QLatin1Char(key.character)).toUpper();
        drawKey(p, r, kLetterKey, label);
        if (key.character == 'f' || key.character == 'j')  // the home-row bumps
            p.fillRect(r.center().x() - 5, r.bottom() - 6, 11, 2, Qt::white);
    }
    return pixmap;
}

KeyShape::KeyShape(const Key& key, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(key.name));
    setGeometry(key.rect());
    setEnabled(false);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void KeyShape::paintEvent(QPaintEvent*) {
    // Outline and interior are inverted each exactly once: the pen's colour plays no part.
    QPainter p(this);
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    const QRect outer = rect();
    const QRect inner = outer.adjusted(2, 2, -2, -2);
    const QRegion outline = QRegion(outer).subtracted(inner);
    for (const QRect& band : outline) p.fillRect(band, Qt::black);
    p.fillRect(inner, Qt::black);
}

}  // namespace FingerKeyboard
