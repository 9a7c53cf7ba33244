#pragma once

#include <QStringList>

// Creates the nine windows once, in their fixed order, each followed by its creation handler.
// A creation handler that fails is reported and start-up goes on with the next window.
void createWindows();
// Releases what the windows hold (hot keys, the music player) and deletes them, last first.
void destroyWindows();

// Object names of the windows in the order start-up created them.
const QStringList& creationOrder();
