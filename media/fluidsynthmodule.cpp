// The entry points of the FluidSynth module, the only unit that links FluidSynth.
#include "media/fluidsynthdevice.h"

extern "C" {

Q_DECL_EXPORT int qorvexMidiModuleVersion() {
    return kMidiModuleVersion;
}

Q_DECL_EXPORT MidiDevice* qorvexCreateMidiDevice(bool silent, const QString& soundFont) {
    return new FluidSynthDevice(
        silent ? FluidSynthDevice::Output::Silent : FluidSynthDevice::Output::SoundCard, soundFont);
}
}
