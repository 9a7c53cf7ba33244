#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "media/mididevice.h"
#include "media/midimodule.h"

// The main window's music player. It plays the MIDI file named by FileName and reports the
// completion of every play command (ended, superseded, aborted, failed) through OnNotify, always
// later, as a queued event on the thread that owns the player. Operations without an open device
// raise "没有打开的乐曲，请先选一首能播放的背景音乐。".
class TMediaPlayer : public QObject {
    Q_OBJECT
  public:
    enum class Mode { NotOpen, Stopped, Playing };
    enum class NotifyValue { Successful, Superseded, Aborted, Failure };

    explicit TMediaPlayer(QObject* parent = nullptr);
    ~TMediaPlayer() override;

    QString FileName;
    // Read by the playback loop only: the player itself asks for a notification on every start.
    bool Notify = false;
    std::function<void()> OnNotify;
    NotifyValue notifyValue() const { return lastValue; }

    // Closes the device, then opens one for FileName. Throws AppError if the file is missing or
    // not a MIDI file; the device then stays closed.
    void load();
    // Plays from the current position, from the beginning if the tune stands at its end.
    void start();
    void rewind();
    // Stops and keeps the position; asks for no notification of its own.
    void halt();
    Mode mode() const;
    // Stops the music and releases the sound output (at exit).
    void close();

    // The sound output; unless a test puts its own in, a FluidSynth device made from the module
    // when the first tune is loaded, with the output chosen here (a sound card by default). The
    // player owns it.
    void setDevice(std::unique_ptr<MidiDevice> device);
    void setOutput(MidiModule::Output output) { outputKind = output; }
    MidiDevice* device();
    // A sound card was wanted and none could be opened: the tunes play where no one hears them.
    bool withoutSoundCard() const {
        return output && outputKind == MidiModule::Output::SoundCard && output->silent();
    }

  private:
    void requireOpen() const;
    void completePending(NotifyValue value);
    void ended(quint64 play);
    void deliver(NotifyValue value);

    std::unique_ptr<MidiDevice> output;
    MidiModule::Output outputKind = MidiModule::Output::SoundCard;
    bool opened = false;
    quint64 pendingPlay = 0;  // the play whose completion is still to be reported, 0 for none
    quint64 lastPlay = 0;
    NotifyValue lastValue = NotifyValue::Successful;
};
