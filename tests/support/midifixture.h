#pragma once

#include <QByteArray>
#include <QString>

// Tiny standard MIDI files for the music tests.
namespace MidiFixture {

// A format 0 file with one track: `notes` piano notes one after the other, each `noteMs` long.
QByteArray tune(int notes, int noteMs);
// Writes tune(notes, noteMs) to path, creating its folder.
void write(const QString& path, int notes = 2, int noteMs = 200);

}  // namespace MidiFixture
