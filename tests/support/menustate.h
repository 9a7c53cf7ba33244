#pragma once

class QMenu;

// What the main window's menu bar shows: the tests of the menu return keys look at it.
namespace MenuState {

// The menu of the main window that is open now, or nullptr.
QMenu* openMenu();
// Shows the main window and waits until it has the keyboard, as a pupil finds it at start-up.
bool showMainWindow();
// Closes every open menu.
void closeMenus();

}  // namespace MenuState
