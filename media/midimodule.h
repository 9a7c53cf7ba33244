#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "media/mididevice.h"

// Finds and loads the FluidSynth module (qorvex-fluidsynth.so) when the first tune needs it, in
// the folders of ModuleFolders::searched(); it stays loaded until the program ends.
namespace MidiModule {

enum class Output { SoundCard, Silent };

QString fileName();
QString defaultSoundFont();
// The folders searched, in order.
QStringList locations();
// Replaces the folders searched and forgets a module found before (tests).
void setLocations(const QStringList& folders);

// A new FluidSynth device. Throws AppError naming the module when it cannot be found or loaded,
// as a missing sound font is reported when the first tune opens.
std::unique_ptr<MidiDevice> createDevice(Output output = Output::SoundCard,
                                         const QString& soundFont = defaultSoundFont());

}  // namespace MidiModule
