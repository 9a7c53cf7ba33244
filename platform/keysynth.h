#pragma once

#include <QList>

// Synthesized key presses: key-down then key-up of one virtual-key code, queued into the
// application's input so they are handled after the sending handler has returned, by the window
// that has the keyboard then, the same way as keys the pupil types.
namespace KeySynth {

enum VirtualKey {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_MENU = 18,  // Alt
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_F1 = 112,
    VK_F2 = 113,
    VK_F5 = 116,
    VK_F8 = 119,
};

int qtKey(int virtualKey);
int virtualKey(int qtKey);

void press(int virtualKey);
void pressAll(const QList<int>& virtualKeys);

}  // namespace KeySynth
