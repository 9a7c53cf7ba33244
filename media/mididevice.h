#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// The sound output behind the music player: one tune at a time that plays, pauses and rewinds.
// The player gives every play a number; when that play reaches the end of the tune the device
// reports the number through the end handler, from whatever thread renders the music.
class MidiDevice {
  public:
    using EndHandler = std::function<void(quint64 play)>;

    virtual ~MidiDevice() = default;

    virtual void setEndHandler(EndHandler handler) = 0;
    // Opens the tune in place of any other, stopped at its beginning. Throws AppError with the
    // reason when it cannot.
    virtual void open(const QString& path) = 0;
    // Closes the tune; the output stays ready for the next.
    virtual void unload() = 0;
    // Closes the tune and releases the output: nothing renders and nothing is reported after it.
    virtual void close() = 0;
    // Plays from the current position.
    virtual void play(quint64 play) = 0;
    // Stops playing and keeps the position.
    virtual void pause() = 0;
    // Puts the position back to the beginning; returns once it is there.
    virtual void rewind() = 0;
    virtual bool playing() const = 0;
    // The tune played to its end and has not been rewound since.
    virtual bool atEnd() const = 0;
    // The music is rendered without a sound card (none could be opened, or none was asked for).
    virtual bool silent() const { return false; }
};

// The FluidSynth output is a module of its own, loaded with the first tune, so that the program
// maps no audio library before music is asked for. These are its entry points, looked up by name.
// A module built against another shape of MidiDevice answers another version and is refused.
inline constexpr int kMidiModuleVersion = 1;
extern "C" {
int qorvexMidiModuleVersion();
// A new device that plays through the sound card, or silently when silent is set; the caller
// owns it. The sound font is read when the first tune is opened.
MidiDevice* qorvexCreateMidiDevice(bool silent, const QString& soundFont);
}
