#pragma once

#include <QList>

// The keys that reopen the menu bar at a command after its window has closed: with m the
// position of the command's menu on the bar and i the command's position in that menu
// (separators not counted), both from 0.
namespace MenuKeys {

QList<int> sequence(int menu, int command);

}  // namespace MenuKeys
