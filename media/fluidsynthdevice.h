#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fluidsynth.h>

#include "media/mididevice.h"

// Plays MIDI tunes with FluidSynth and a General MIDI sound font. The synthesizer starts with
// the first tune opened. When no sound card can be opened the music is rendered silently at its
// real pace, so tunes still take their time and end. Built into the FluidSynth module only.
class FluidSynthDevice : public MidiDevice {
  public:
    enum class Output { SoundCard, Silent };

    FluidSynthDevice(Output output, QString soundFont);
    ~FluidSynthDevice() override;

    // True once the synthesizer runs without a sound card.
    bool silent() const override;

    void setEndHandler(EndHandler handler) override;
    void open(const QString& path) override;
    void unload() override;
    void close() override;
    void play(quint64 play) override;
    void pause() override;
    void rewind() override;
    bool playing() const override;
    bool atEnd() const override;

  private:
    void startSynth();
    void stopSynth();
    void deletePlayer();
    void render(int frames, float* left, float* right);
    void renderSilently();
    static int renderToCard(void* data, int len, int nfx, float* fx[], int nout, float* out[]);

    const Output wanted;
    const QString soundFontPath;

    mutable std::mutex lock;  // guards everything below against the rendering thread
    std::condition_variable wake;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    std::thread silentThread;
    bool stopping = false;
    EndHandler onEnd;
    QByteArray tune;
    bool isPlaying = false;
    bool ended = false;
    quint64 currentPlay = 0;
};
