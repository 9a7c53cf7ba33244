#pragma once

#include <QWidget>
#include <functional>

// Shows a window modally through show (its ShowModal), runs body once the window is up, then closes
// the window unless body already did. Returns whether body ran.
bool runWhileModal(const std::function<int()>& show, QWidget* window,
                   const std::function<void()>& body);
