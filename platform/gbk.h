#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The drills count, compare and position in bytes of GBK text: an ASCII character is one byte,
// a Chinese character or full-width mark two. A character that GBK cannot hold (an emoji pasted
// into a box, a symbol outside the code page) still takes two bytes, the pair Gbk::kUnmappable,
// so byte and character positions never drift apart. No GBK character has a byte 0xFF, so the
// pair is never a real character nor found across the boundary of two.
namespace Gbk {

inline constexpr char kUnmappable[] = "\xFF\xFF";

QByteArray encode(QStringView text);
// Decodes GBK bytes; a byte sequence that is no GBK character gives U+FFFD.
QString decode(const QByteArray& bytes);
// True when every character of the text has its own GBK code.
bool canEncode(QStringView text);
// True when the bytes hold a character GBK cannot hold, or a part of one: such a character
// matches nothing, not even itself.
bool holdsUnmappable(const QByteArray& bytes);
// True when the bytes are exactly one GBK character of two bytes.
bool isDoubleByteCharacter(const QByteArray& bytes);

int byteLength(QStringView text);
// Byte offset of the UTF-16 position pos (a caret or selection position of a Qt text box).
int bytePosition(QStringView text, int pos);
// UTF-16 position of byte offset bytePos; an offset inside a character gives that character's
// start.
int charPosition(QStringView text, int bytePos);

}  // namespace Gbk
