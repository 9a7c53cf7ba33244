#include "media/fluidsynthdevice.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <chrono>
#include <vector>

#include "platform/errors.h"

namespace {

Q_LOGGING_CATEGORY(music, "qorvex.music")

// FluidSynth's own messages go to the debug log: a machine without a sound card is no error.
void logToDebug(int, const char* message, void*) {
    qCDebug(music) << message;
}

void quietLogs() {
    for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, logToDebug, nullptr);
}

constexpr int kSilentBlock = 512;

// The player has read the tune's header just before, so this is rare (the file went away or
// changed meanwhile). The module links nothing of the program's, so it words the reason itself.
QString readProblem(const QFile& file) {
    if (!file.exists())
        return QStringLiteral("文件不存在");
    return QStringLiteral("无法读取这个文件");
}

}  // namespace

FluidSynthDevice::FluidSynthDevice(Output output, QString soundFont)
    : wanted(output), soundFontPath(std::move(soundFont)) {}

FluidSynthDevice::~FluidSynthDevice() {
    close();
}

bool FluidSynthDevice::silent() const {
    std::lock_guard guard(lock);
    return synth && !driver;
}

void FluidSynthDevice::setEndHandler(EndHandler handler) {
    std::lock_guard guard(lock);
    onEnd = std::move(handler);
}

void FluidSynthDevice::startSynth() {
    quietLogs();
    settings = new_fluid_settings();
    // Only the samples a tune uses are read from the large sound font.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    synth = new_fluid_synth(settings);
    if (!synth || fluid_synth_sfload(synth, QFile::encodeName(soundFontPath).constData(), 1) ==
                      FLUID_FAILED) {
        stopSynth();
        throw AppError(
            QStringLiteral("无法播放音乐：找不到音色库 %1，请安装软件包 fluid-soundfont-gm。")
                .arg(QDir::toNativeSeparators(soundFontPath)));
    }
    if (wanted == Output::SoundCard)
        driver = new_fluid_audio_driver2(settings, &FluidSynthDevice::renderToCard, this);
    if (!driver) {
        stopping = false;
        silentThread = std::thread([this] { renderSilently(); });
    }
}

void FluidSynthDevice::stopSynth() {
    {
        std::lock_guard guard(lock);
        stopping = true;
    }
    wake.notify_all();
    if (silentThread.joinable())
        silentThread.join();
    // Joins the sound card's thread; it must not be waiting for the lock meanwhile.
    if (driver)
        delete_fluid_audio_driver(driver);
    std::lock_guard guard(lock);
    driver = nullptr;
    deletePlayer();
    if (synth)
        delete_fluid_synth(synth);
    synth = nullptr;
    if (settings)
        delete_fluid_settings(settings);
    settings = nullptr;
}

void FluidSynthDevice::deletePlayer() {
    if (player)
        delete_fluid_player(player);
    player = nullptr;
    isPlaying = false;
    ended = false;
}

void FluidSynthDevice::open(const QString& path) {
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("无法播放乐曲 %1：%2。")
                           .arg(QDir::toNativeSeparators(path), readProblem(file)));
    if (!synth)
        startSynth();
    std::lock_guard guard(lock);
    deletePlayer();
    player = new_fluid_player(synth);
    if (fluid_player_add_mem(player, bytes.constData(), size_t(bytes.size())) != FLUID_OK) {
        deletePlayer();
        throw AppError(QStringLiteral("无法播放乐曲 %1：这不是 MIDI 乐曲文件，或者文件已损坏。")
                           .arg(QDir::toNativeSeparators(path)));
    }
    tune = bytes;
}

void FluidSynthDevice::unload() {
    std::lock_guard guard(lock);
    if (synth)
        fluid_synth_all_sounds_off(synth, -1);
    deletePlayer();
    tune.clear();
}

void FluidSynthDevice::close() {
    stopSynth();
    tune.clear();
}

void FluidSynthDevice::play(quint64 play) {
    {
        std::lock_guard guard(lock);
        if (!player)
            return;
        currentPlay = play;
        ended = false;
        if (fluid_player_play(player) != FLUID_OK)
            throw AppError(QStringLiteral("无法播放乐曲：音乐合成器出错。"));
        isPlaying = true;
    }
    wake.notify_all();
}

void FluidSynthDevice::pause() {
    std::lock_guard guard(lock);
    if (!player || !isPlaying)
        return;
    fluid_player_stop(player);
    fluid_synth_all_sounds_off(synth, -1);
    isPlaying = false;
}

void FluidSynthDevice::rewind() {
    std::lock_guard guard(lock);
    if (!player)
        return;
    fluid_player_seek(player, 0);
    ended = false;
}

bool FluidSynthDevice::playing() const {
    std::lock_guard guard(lock);
    return isPlaying;
}

bool FluidSynthDevice::atEnd() const {
    std::lock_guard guard(lock);
    return ended;
}

// Runs on the rendering thread with the lock held. The player advances with the samples rendered,
// so the end of the tune shows here first.
void FluidSynthDevice::render(int frames, float* left, float* right) {
    float* out[2] = {left, right};
    fluid_synth_process(synth, frames, 0, nullptr, 2, out);
    if (isPlaying && player && fluid_player_get_status(player) == FLUID_PLAYER_DONE) {
        isPlaying = false;
        ended = true;
        if (onEnd)
            onEnd(currentPlay);
    }
}

int FluidSynthDevice::renderToCard(void* data, int len, int nfx, float* fx[], int nout,
                                   float* out[]) {
    auto* self = static_cast<FluidSynthDevice*>(data);
    std::lock_guard guard(self->lock);
    if (nout < 2 || !self->synth)
        return fluid_synth_process(self->synth, len, nfx, fx, nout, out);
    self->render(len, out[0], out[1]);
    return FLUID_OK;
}

// Without a sound card the music is rendered into nothing, block by block at the pace a card
// would take it, and only while a tune plays.
void FluidSynthDevice::renderSilently() {
    using Clock = std::chrono::steady_clock;
    std::vector<float> left(kSilentBlock), right(kSilentBlock);
    double rate = 44100;
    std::unique_lock guard(lock);
    fluid_settings_getnum(settings, "synth.sample-rate", &rate);
    const auto block = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(kSilentBlock / rate));
    auto next = Clock::now();
    while (!stopping) {
        if (!isPlaying) {
            wake.wait(guard, [this] { return stopping || isPlaying; });
            next = Clock::now();
            continue;
        }
        render(kSilentBlock, left.data(), right.data());
        next += block;
        if (Clock::now() - next > std::chrono::seconds(1))
            next = Clock::now();  // fell far behind (the machine slept): do not rush to catch up
        wake.wait_until(guard, next, [this] { return stopping; });
    }
}
