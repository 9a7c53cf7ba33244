#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The background tunes: note text in course/tunes/SOUNDk.txt, written as standard MIDI files
// Sound/SOUNDk.MID for k = 1..10.
namespace Tunes {

inline constexpr int kTunes = 10;
inline constexpr int kTicksPerQuarter = 480;
inline constexpr double kShortestSeconds = 60;
inline constexpr double kLongestSeconds = 180;

struct Note {
    QList<int> pitches;  // MIDI note numbers; empty for a rest
    double start = 0;    // in quarter notes from the start of one pass
    double beats = 0;
};

struct Track {
    QString name;
    int program = 0;  // General MIDI program, from 0
    int velocity = 90;
    QList<Note> notes;
    double length = 0;  // quarter notes of one pass
};

struct Tune {
    QString title;
    int tempo = 0;        // quarter notes per minute
    int beatsPerBar = 0;  // quarter notes per bar
    int repeat = 1;       // passes through the whole tune
    QList<Track> tracks;

    double passBeats() const { return tracks.isEmpty() ? 0 : tracks.first().length; }
    double seconds() const { return passBeats() * repeat * 60.0 / tempo; }
};

// Reads a tune; checks every bar's length, that all tracks are equally long and the pitches.
Tune parse(const QString& path);

// A standard MIDI file of format 1: a tempo track and one track per part, each on its own channel.
QByteArray midi(const Tune& tune);

// Writes SOUND1.MID .. SOUND10.MID from tunesDir into soundDir; every tune must last from one to
// three minutes. Returns the report: title and length of each tune.
QString build(const QString& tunesDir, const QString& soundDir);

}  // namespace Tunes
