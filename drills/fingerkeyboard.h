#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>

// The finger drill's keyboard: the key table, the picture drawn from it and the inverting key
// shapes laid over the picture.
namespace FingerKeyboard {

struct Key {
    char character;    // the character typed with this key
    const char* name;  // object name of its shape
    int left, top;     // form coordinates of the shape
    int width = 38, height = 33;

    QRect rect() const { return QRect(left, top, width, height); }
};

// Every key that has a shape; the match is case-sensitive.
inline constexpr std::array<Key, 28> keys{{
    {'a', "A", 153, 343}, {'s', "S", 200, 343},
    {'d', "d", 246, 343}, {'f', "F", 293, 343},
    {'g', "G", 339, 343}, {'h', "H", 386, 343},
    {'j', "J", 433, 343}, {'k', "K", 479, 343},
    {'l', "L", 526, 343}, {';', "LL", 573, 343},
    {'q', "Q", 141, 303}, {'w', "w", 188, 303},
    {'e', "e", 235, 303}, {'r', "R", 281, 303},
    {'t', "T", 328, 303}, {'y', "Y", 374, 303},
    {'u', "u", 421, 303}, {'i', "I", 468, 303},
    {'o', "O", 514, 303}, {'p', "p", 561, 303},
    {'z', "z", 176, 383}, {'x', "x", 223, 383},
    {'c', "c", 269, 383}, {'v', "v", 316, 383},
    {'b', "b", 363, 383}, {'n', "n", 409, 383},
    {'m', "m", 456, 383}, {' ', "space", 280, 423, 251, 33},
}};

// The key with a shape for this character, or nullptr.
const Key* find(const QString& character);

// Where the picture's top-left corner lies on the form; the picture is drawn unscaled there.
inline constexpr QPoint pictureOrigin{64, 256};
inline constexpr QSize pictureSize{684, 206};

// Five rows of keys: digit row, Q row, A row (F and J with a bar), Z row and the bottom row with
// Ctrl, Alt and the space bar. The keys of the table lie exactly under their shapes.
// With ratio times the pixels for a denser screen, the same size in logical pixels.
QPixmap picture(qreal ratio = 1);

// A key shape: a rectangle whose 2-pixel outline and interior invert whatever lies beneath, so
// the marked key shows in inverse colours. It never takes the mouse.
class KeyShape : public QWidget {
    Q_OBJECT
  public:
    KeyShape(const Key& key, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace FingerKeyboard
