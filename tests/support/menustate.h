#pragma once

#include <QList>
#include <QString>
#include <functional>

class QAction;
class QMenu;

// What the main window's menu bar shows: the tests of the menu return keys look at it.
namespace MenuState {

// The menu of the main window that is open now, or nullptr.
QMenu* openMenu();
// Shows the main window and waits until it has the keyboard, as a pupil finds it at start-up.
bool showMainWindow();
// Closes every open menu and leaves the bar's keyboard mode.
void closeMenus();

// The bar in one word: "" when it is out of keyboard mode (no title highlighted, the keyboard at
// the window), "N14" when that title is highlighted with its menu closed, "N1>N11" when that
// menu is open with that command highlighted.
QString bar();
// Whether the title is drawn highlighted: on the X server's screen when there is one, else in the
// bar's own painting.
bool titleShownHighlighted(QAction* title);

// Alt highlights the first title where the pupil sees it, and Right the next one; press sends a
// key of xdotool's naming to the main window.
void checkAltWalksTheTitles(const std::function<void(const QString&)>& press);

// Test rows of keys pressed at the main window, in xdotool's names ("keys"), and the bar() they
// end at ("end").
void addKeyboardModeRows();

}  // namespace MenuState
