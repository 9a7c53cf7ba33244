#include "support/midifixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace MidiFixture {

namespace {

constexpr int kDivision = 480;       // ticks per quarter note
constexpr int kQuarterUs = 500'000;  // 120 beats a minute: one tick is about a millisecond

QByteArray variableLength(quint32 value) {
    QByteArray bytes(1, char(value & 0x7F));
    while (value >>= 7) bytes.prepend(char((value & 0x7F) | 0x80));
    return bytes;
}

QByteArray bigEndian(quint32 value, int size) {
    QByteArray bytes;
    for (int i = size - 1; i >= 0; --i) bytes.append(char((value >> (8 * i)) & 0xFF));
    return bytes;
}

}  // namespace

QByteArray tune(int notes, int noteMs) {
    const quint32 ticks = quint32(qint64(noteMs) * 1000 * kDivision / kQuarterUs);
    QByteArray track;
    track += variableLength(0) + QByteArray("\xFF\x51\x03", 3) + bigEndian(kQuarterUs, 3);
    for (int i = 0; i < notes; ++i) {
        const char key = char(60 + i % 12);
        track += variableLength(0) + QByteArray("\x90", 1) + key + char(100);
        track += variableLength(ticks) + QByteArray("\x80", 1) + key + char(0);
    }
    track += variableLength(0) + QByteArray("\xFF\x2F\x00", 3);
    return "MThd" + bigEndian(6, 4) + bigEndian(0, 2) + bigEndian(1, 2) + bigEndian(kDivision, 2) +
           "MTrk" + bigEndian(quint32(track.size()), 4) + track;
}

void write(const QString& path, int notes, int noteMs) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(tune(notes, noteMs));
}

}  // namespace MidiFixture
