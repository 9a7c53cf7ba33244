#pragma once

#include <QSize>

// The size of the screen the windows place themselves on. Tests pretend other screens.
namespace Screen {

QSize size();
void setSizeOverride(QSize size);  // an invalid size restores the real screen

// (screen - window) div d, truncating toward zero as the placement formulas expect.
inline int centred(int screen, int window, int divisor = 2) {
    return (screen - window) / divisor;
}

}  // namespace Screen
