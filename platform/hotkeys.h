#pragma once

#include <QEvent>

class QWidget;

// A pressed system-wide hot key reaches the window that registered it as this event.
class HotKeyEvent : public QEvent {
  public:
    explicit HotKeyEvent(int id) : QEvent(type()), id(id) {}
    static Type type();
    const int id;
};

// System-wide hot keys. On X11 the key is grabbed on the root window, so it reaches the program
// whatever window has the focus; elsewhere (Wayland, offscreen) the key is caught while one of the
// program's windows is active. A key another program (or another copy of this one) already holds
// falls back the same way and registerHotKey returns false: pressed in the program's own window,
// it still works there.
namespace HotKeys {

enum Modifier { MOD_ALT = 1, MOD_CONTROL = 2, MOD_SHIFT = 4, MOD_WIN = 8 };

bool registerHotKey(QWidget* window, int id, int modifiers, int virtualKey);
bool unregisterHotKey(QWidget* window, int id);
bool isRegistered(QWidget* window, int id);

}  // namespace HotKeys
