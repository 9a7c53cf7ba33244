#include "media/mediaplayer.h"

#include <QDir>
#include <QFile>

#include "platform/errors.h"

namespace {

// A standard MIDI file starts with its header chunk.
void checkTuneFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (path.isEmpty())
        throw AppError(QStringLiteral("无法播放：没有选定乐曲文件。"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            QStringLiteral("无法播放乐曲 %1：%2。").arg(shown, Errors::fileProblem(file, false)));
    if (file.read(4) != "MThd")
        throw AppError(
            QStringLiteral("无法播放乐曲 %1：这不是 MIDI 乐曲文件，或者文件已损坏。").arg(shown));
}

}  // namespace

TMediaPlayer::TMediaPlayer(QObject* parent) : QObject(parent) {}

TMediaPlayer::~TMediaPlayer() {
    close();
}

void TMediaPlayer::setDevice(std::unique_ptr<MidiDevice> device) {
    close();
    output = std::move(device);
    if (output)
        output->setEndHandler([this](quint64 play) {
            // Called on the rendering thread: hand over to the player's own thread.
            QMetaObject::invokeMethod(
                this, [this, play] { ended(play); }, Qt::QueuedConnection);
        });
}

MidiDevice* TMediaPlayer::device() {
    if (!output)
        setDevice(MidiModule::createDevice(outputKind));
    return output.get();
}

void TMediaPlayer::load() {
    completePending(NotifyValue::Superseded);
    if (opened) {
        opened = false;
        output->unload();
    }
    checkTuneFile(FileName);
    device()->open(FileName);
    opened = true;
}

void TMediaPlayer::start() {
    requireOpen();
    completePending(NotifyValue::Superseded);
    if (output->atEnd())
        output->rewind();
    pendingPlay = ++lastPlay;
    output->play(pendingPlay);
}

void TMediaPlayer::rewind() {
    requireOpen();
    if (output->playing())
        output->pause();
    completePending(NotifyValue::Aborted);
    output->rewind();
}

void TMediaPlayer::halt() {
    requireOpen();
    output->pause();
    completePending(NotifyValue::Aborted);
}

TMediaPlayer::Mode TMediaPlayer::mode() const {
    if (!opened)
        return Mode::NotOpen;
    return output->playing() ? Mode::Playing : Mode::Stopped;
}

void TMediaPlayer::close() {
    pendingPlay = 0;
    opened = false;
    if (output)
        output->close();
}

void TMediaPlayer::requireOpen() const {
    if (!opened)
        throw AppError(QStringLiteral("没有打开的乐曲，请先选一首能播放的背景音乐。"));
}

void TMediaPlayer::completePending(NotifyValue value) {
    if (!pendingPlay)
        return;
    pendingPlay = 0;
    QMetaObject::invokeMethod(
        this, [this, value] { deliver(value); }, Qt::QueuedConnection);
}

void TMediaPlayer::ended(quint64 play) {
    // A play that was superseded or aborted meanwhile has been reported already.
    if (play != pendingPlay)
        return;
    pendingPlay = 0;
    deliver(NotifyValue::Successful);
}

void TMediaPlayer::deliver(NotifyValue value) {
    lastValue = value;
    if (OnNotify)
        Errors::guard(OnNotify);
}
