#pragma once

#include <QPixmap>

// The pictures on the buttons of the music window and the lesson browser, painted by code.
namespace MediaPictures {

constexpr int kSize = 24;

QPixmap cycle();      // two arrows chasing each other round
QPixmap repeatOne();  // one arrow round a "1"
QPixmap stop();       // a square
QPixmap close();      // a door with an arrow leaving it
QPixmap home();       // a house

}  // namespace MediaPictures
