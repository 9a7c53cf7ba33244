#include "course/builder/tunes.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "course/builder/sourcefile.h"
#include "course/builder/tablewriter.h"

namespace Tunes {

namespace {

int pitchOf(const QString& text, const QString& where) {
    static const QRegularExpression pattern(QStringLiteral("^([A-G])([#b]?)(-?\\d)$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        throw CourseError(QStringLiteral("%1: \"%2\" is no pitch").arg(where, text));
    static const int steps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int pitch = steps[m.captured(1)[0].unicode() - 'A'] + 12 * (m.captured(3).toInt() + 1);
    pitch += m.captured(2) == QLatin1String("#") ? 1 : m.captured(2) == QLatin1String("b") ? -1 : 0;
    if (pitch < 0 || pitch > 127)
        throw CourseError(QStringLiteral("%1: %2 lies outside MIDI's range").arg(where, text));
    return pitch;
}

// Reads the notes of one source line into the track; "|" closes a bar.
void readNotes(const SourceLine& line, const Tune& tune, Track& track, double& barStart) {
    for (const QString& token :
         line.fields.join(QLatin1Char(' ')).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (token == QLatin1String("|")) {
            const double bar = track.length - barStart;
            if (bar != 0 && std::abs(bar - tune.beatsPerBar) > 1e-9)
                throw CourseError(QStringLiteral("%1: a bar of %2 beats in track %3, bars hold %4")
                                      .arg(line.where)
                                      .arg(bar)
                                      .arg(track.name)
                                      .arg(tune.beatsPerBar));
            barStart = track.length;
            continue;
        }
        const QString pitches = token.section(QLatin1Char(':'), 0, 0);
        bool ok = false;
        const double beats = token.section(QLatin1Char(':'), 1).toDouble(&ok);
        if (!ok || token.count(QLatin1Char(':')) != 1)
            throw CourseError(
                QStringLiteral("%1: \"%2\" is no <pitch>:<beats>").arg(line.where, token));
        // "nan" and "inf" read as numbers, and a NaN slips through every length check after.
        if (!std::isfinite(beats) || beats <= 0)
            throw CourseError(QStringLiteral("%1: \"%2\" lasts no positive, finite number of beats")
                                  .arg(line.where, token));
        Note note;
        note.start = track.length;
        note.beats = beats;
        if (pitches != QLatin1String("R"))
            for (const QString& p : pitches.split(QLatin1Char('+')))
                note.pitches.append(pitchOf(p, line.where));
        track.notes.append(note);
        track.length += beats;
    }
}

void appendVarLen(QByteArray& out, quint32 value) {
    QByteArray bytes(1, char(value & 0x7f));
    while (value >>= 7) bytes.prepend(char(0x80 | (value & 0x7f)));
    out += bytes;
}

void appendBigEndian(QByteArray& out, quint32 value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += char((value >> (8 * i)) & 0xff);
}

struct Event {
    quint32 tick;
    int order;  // at one tick: note-offs before set-up before note-ons
    QByteArray bytes;
};

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) out += char(v);
    return out;
}

QByteArray chunk(const char* type, const QByteArray& body) {
    QByteArray out(type, 4);
    appendBigEndian(out, quint32(body.size()), 4);
    return out + body;
}

QByteArray trackChunk(QList<Event> events, quint32 endTick) {
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    QByteArray body;
    quint32 now = 0;
    for (const Event& e : events) {
        appendVarLen(body, e.tick - now);
        body += e.bytes;
        now = e.tick;
    }
    appendVarLen(body, endTick - now);
    body += QByteArray("\xff\x2f\x00", 3);
    return chunk("MTrk", body);
}

QByteArray meta(int type, const QByteArray& data) {
    QByteArray out;
    out += char(0xff);
    out += char(type);
    appendVarLen(out, quint32(data.size()));
    return out + data;
}

}  // namespace

Tune parse(const QString& path) {
    Tune tune;
    Track* track = nullptr;
    double barStart = 0;
    for (const SourceLine& line : readSourceLines(path)) {
        const QString text = line.fields.join(QLatin1Char(' ')).trimmed();
        const QString word = text.section(QLatin1Char(' '), 0, 0);
        const QString rest = text.section(QLatin1Char(' '), 1).trimmed();
        if (text.startsWith(QLatin1Char('|'))) {
            if (!track)
                throw CourseError(line.where + ": notes before the first track");
            readNotes(line, tune, *track, barStart);
        } else if (word == QLatin1String("title")) {
            tune.title = rest;
        } else if (word == QLatin1String("tempo") || word == QLatin1String("beats") ||
                   word == QLatin1String("repeat")) {
            bool ok = false;
            const int value = rest.toInt(&ok);
            if (!ok || value <= 0)
                throw CourseError(line.where + ": " + word + " needs a positive number");
            (word == QLatin1String("tempo")   ? tune.tempo
             : word == QLatin1String("beats") ? tune.beatsPerBar
                                              : tune.repeat) = value;
        } else if (word == QLatin1String("track")) {
            static const QRegularExpression pattern(
                QStringLiteral("^track (\\S+) program (\\d+) volume (\\d+)$"));
            const QRegularExpressionMatch m = pattern.match(text);
            if (!m.hasMatch() || m.captured(2).toInt() > 127 || m.captured(3).toInt() > 127)
                throw CourseError(line.where +
                                  ": expected \"track <name> program <0-127> volume <0-127>\"");
            tune.tracks.append(
                {m.captured(1), m.captured(2).toInt(), m.captured(3).toInt(), {}, 0});
            track = &tune.tracks.last();
            barStart = 0;
        } else {
            throw CourseError(QStringLiteral("%1: unknown line \"%2\"").arg(line.where, text));
        }
    }
    if (tune.title.isEmpty() || tune.tempo == 0 || tune.beatsPerBar == 0 || tune.tracks.size() < 2)
        throw CourseError(path + ": a tune needs a title, tempo, beats and at least two tracks");
    if (tune.tracks.size() > 15)
        throw CourseError(path + ": more tracks than MIDI has melodic channels");
    for (const Track& t : tune.tracks)
        if (std::abs(t.length - tune.passBeats()) > 1e-9)
            throw CourseError(QStringLiteral("%1: track %2 lasts %3 beats, track %4 %5")
                                  .arg(path, t.name)
                                  .arg(t.length)
                                  .arg(tune.tracks.first().name)
                                  .arg(tune.passBeats()));
    return tune;
}

QByteArray midi(const Tune& tune) {
    const auto ticks = [](double beats) { return quint32(std::lround(beats * kTicksPerQuarter)); };
    const quint32 passTicks = ticks(tune.passBeats());
    const quint32 endTick = passTicks * tune.repeat + kTicksPerQuarter;  // a beat to ring out

    QByteArray out;
    QByteArray header;
    appendBigEndian(header, 1, 2);  // format 1
    appendBigEndian(header, quint32(tune.tracks.size() + 1), 2);
    appendBigEndian(header, kTicksPerQuarter, 2);
    out += chunk("MThd", header);

    QByteArray tempo;
    appendBigEndian(tempo, quint32(60000000 / tune.tempo), 3);
    const QByteArray timeSignature = bytes({tune.beatsPerBar, 2, 24, 8});
    out += trackChunk({{0, 0, meta(0x03, tune.title.toUtf8())},
                       {0, 1, meta(0x58, timeSignature)},
                       {0, 2, meta(0x51, tempo)}},
                      endTick);

    for (int i = 0; i < tune.tracks.size(); ++i) {
        const Track& track = tune.tracks[i];
        const int channel = i < 9 ? i : i + 1;  // channel 10 is the drums
        QList<Event> events{{0, 1, meta(0x03, track.name.toUtf8())},
                            {0, 1, bytes({0xc0 | channel, track.program})},
                            {0, 1, bytes({0xb0 | channel, 7, 110})}};
        for (int pass = 0; pass < tune.repeat; ++pass)
            for (const Note& note : track.notes) {
                const quint32 on = passTicks * pass + ticks(note.start);
                // Slightly detached, so repeated notes are heard as two.
                const quint32 off = on + std::max<quint32>(ticks(note.beats) * 15 / 16, 1);
                for (int pitch : note.pitches) {
                    events.append({on, 2, bytes({0x90 | channel, pitch, track.velocity})});
                    events.append({off, 0, bytes({0x80 | channel, pitch, 0})});
                }
            }
        out += trackChunk(events, endTick);
    }
    return out;
}

QString build(const QString& tunesDir, const QString& soundDir) {
    QDir().mkpath(soundDir);
    QString report = QStringLiteral("tunes:\n");
    for (int k = 1; k <= kTunes; ++k) {
        const QString source = QStringLiteral("%1/SOUND%2.txt").arg(tunesDir).arg(k);
        const Tune tune = parse(source);
        const double seconds = tune.seconds();
        if (!(seconds >= kShortestSeconds && seconds <= kLongestSeconds))
            throw CourseError(QStringLiteral("%1: plays %2 seconds, a tune lasts one to three "
                                             "minutes")
                                  .arg(source)
                                  .arg(seconds));
        QFile file(QStringLiteral("%1/SOUND%2.MID").arg(soundDir).arg(k));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(midi(tune)) < 0)
            throw CourseError(file.fileName() + ": " + file.errorString());
        report += QStringLiteral("  SOUND%1.MID %2: %3:%4, %5 parts\n")
                      .arg(k)
                      .arg(tune.title)
                      .arg(int(seconds) / 60)
                      .arg(int(seconds) % 60, 2, 10, QLatin1Char('0'))
                      .arg(tune.tracks.size());
    }
    return report;
}

}  // namespace Tunes
