#pragma once

#include <QString>

class QLineEdit;

// A pupil typing Chinese through fcitx5's Wubi with real X key strokes.
namespace WubiKeys {

// The keys that type text through Wubi, with the codes of the program's own code table: the
// short code and Space, or a full code of four letters alone (Wubi takes it at once); the
// full-width comma and full stop from their keys, anything else as it is.
QString forText(const QString& text);

// Keys typed as a keyboard types them (xdotool type), delayMs apart, while the program goes on
// handling what arrives. False when they were not through within a minute.
[[nodiscard]] bool type(const QString& keys, int delayMs = 40);

// fcitx5 gives a window an input context a moment after it is shown, and keys typed before reach
// the box as plain letters: types keys into box, the focused box of a window just shown, until
// it holds character alone. False when Wubi never gave it.
[[nodiscard]] bool firstCharacter(QLineEdit* box, const QString& keys, const QString& character);

}  // namespace WubiKeys
