// The ten background tunes: each source parses, each built file is a well-formed standard MIDI
// file of one to three minutes with melody and accompaniment, and plays through FluidSynth with
// the General MIDI sound font for as long as its source says.
#include <fluidsynth.h>

#include <QFile>
#include <QSet>
#include <QtTest>
#include <cmath>

#include "course/builder/tunes.h"

namespace {

const char kSoundFont[] = "/usr/share/sounds/sf2/FluidR3_GM.sf2";

// What an independent reading of the file finds.
struct MidiFacts {
    QString error;
    int format = -1, tracks = 0, division = 0;
    quint32 tempo = 500000;  // microseconds per quarter
    quint32 lastTick = 0;    // of the longest track
    QSet<int> noteChannels;  // channels that sound notes
    int noteOns = 0;
    double seconds() const { return double(lastTick) / division * tempo / 1e6; }
};

quint32 bigEndian(const QByteArray& data, int at, int n) {
    quint32 v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | quint8(data[at + i]);
    return v;
}

MidiFacts readMidi(const QByteArray& data) {
    MidiFacts f;
    if (data.left(4) != "MThd" || bigEndian(data, 4, 4) != 6)
        return f.error = "no MThd header of 6 bytes", f;
    f.format = int(bigEndian(data, 8, 2));
    f.tracks = int(bigEndian(data, 10, 2));
    f.division = int(bigEndian(data, 12, 2));
    int at = 14;
    for (int t = 0; t < f.tracks; ++t) {
        if (data.mid(at, 4) != "MTrk")
            return f.error = QString("track %1: no MTrk").arg(t), f;
        const int end = at + 8 + int(bigEndian(data, at + 4, 4));
        if (end > data.size())
            return f.error = QString("track %1 runs past the file").arg(t), f;
        at += 8;
        quint32 tick = 0;
        bool ended = false;
        while (at < end && !ended) {
            quint32 delta = 0;
            quint8 b;
            do {
                b = quint8(data[at++]);
                delta = (delta << 7) | (b & 0x7f);
            } while (b & 0x80);
            tick += delta;
            const quint8 status = quint8(data[at++]);
            if (status == 0xff) {
                const quint8 type = quint8(data[at++]);
                const int len = quint8(data[at++]);
                if (type == 0x51)
                    f.tempo = bigEndian(data, at, 3);
                ended = type == 0x2f;
                at += len;
            } else if ((status & 0xf0) == 0xc0 || (status & 0xf0) == 0xd0) {
                at += 1;
            } else if (status >= 0x80 && status < 0xf0) {
                if ((status & 0xf0) == 0x90 && quint8(data[at + 1]) > 0) {
                    f.noteChannels.insert(status & 0x0f);
                    ++f.noteOns;
                }
                at += 2;
            } else {
                return f.error = QString("track %1: status %2").arg(t).arg(status, 0, 16), f;
            }
        }
        if (!ended || at != end)
            return f.error = QString("track %1 does not end with its end-of-track event").arg(t), f;
        f.lastTick = std::max(f.lastTick, tick);
    }
    if (at != data.size())
        f.error = "bytes after the last track";
    return f;
}

}  // namespace

class CourseTunesTest : public QObject {
    Q_OBJECT

    static QString sources() { return qEnvironmentVariable("QORVEX_COURSE_SOURCES") + "/tunes"; }
    static QString sound() { return qEnvironmentVariable("QORVEX_BUILT_DRIVE") + "/mavro/Sound"; }

  private slots:
    void sourcesAreOneToThreeMinutesWithAccompaniment() {
        for (int k = 1; k <= 10; ++k) {
            const Tunes::Tune tune = Tunes::parse(QString("%1/SOUND%2.txt").arg(sources()).arg(k));
            QVERIFY2(tune.seconds() >= 60 && tune.seconds() <= 180, qPrintable(tune.title));
            QVERIFY(tune.tracks.size() >= 2);
            int sounding = 0;
            for (const Tunes::Track& t : tune.tracks) {
                int notes = 0;
                for (const Tunes::Note& n : t.notes) notes += n.pitches.isEmpty() ? 0 : 1;
                sounding += notes > 8 ? 1 : 0;
            }
            QVERIFY2(sounding >= 2, qPrintable(tune.title));
        }
    }

    // Two tracks of one 4/4 bar each unless the row says otherwise; "" means the tune is read.
    void badSourcesAreRejected_data() {
        QTest::addColumn<QByteArray>("tracks");
        QTest::addColumn<QString>("error");
        const QByteArray b = "track b program 32 volume 90\n| C3:4 |\n";
        const QByteArray a = "track a program 0 volume 90\n";
        QTest::newRow("good") << a + "| C4:4 |\n" + b << "";
        QTest::newRow("short bar") << a + "| C4:3 |\n" + b << "a bar of 3 beats in track a";
        QTest::newRow("uneven tracks") << a + "| C4:4 | C4:4 |\n" + b << "track b lasts 4 beats";
        QTest::newRow("no pitch") << a + "| H4:4 |\n" + b << "\"H4\" is no pitch";
        QTest::newRow("nan beats") << a + "| C4:nan C4:4 |\n" + b
                                   << "\"C4:nan\" lasts no positive, finite number of beats";
        QTest::newRow("nan in every track")
            << a + "| C4:nan |\ntrack b program 32 volume 90\n| C3:nan |\n"
            << "\"C4:nan\" lasts";
        QTest::newRow("infinite beats") << a + "| C4:inf |\n" + b << "\"C4:inf\" lasts";
        QTest::newRow("negative beats") << a + "| C4:-4 C4:8 |\n" + b << "\"C4:-4\" lasts";
        QTest::newRow("no beats") << a + "| R:0 C4:4 |\n" + b << "\"R:0\" lasts";
        QTest::newRow("beats no number")
            << a + "| C4:x |\n" + b << "\"C4:x\" is no <pitch>:<beats>";
    }
    void badSourcesAreRejected() {
        QFETCH(QByteArray, tracks);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QFile f(dir.filePath("t.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("title t\ntempo 60\nbeats 4\n" + tracks);
        f.close();
        QString raised;
        try {
            Tunes::parse(f.fileName());
        } catch (const std::exception& e) {
            raised = QString::fromUtf8(e.what());
        }
        QVERIFY2(error.isEmpty() ? raised.isEmpty() : raised.contains(error), qPrintable(raised));
    }

    void builtFilesAreStandardMidiOfTheStatedLength() {
        if (!QFile::exists(sound() + "/SOUND1.MID"))
            QSKIP("the course has not been built (target course)");
        for (int k = 1; k <= 10; ++k) {
            QFile file(QString("%1/SOUND%2.MID").arg(sound()).arg(k));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            const MidiFacts f = readMidi(file.readAll());
            QVERIFY2(f.error.isEmpty(), qPrintable(file.fileName() + ": " + f.error));
            QCOMPARE(f.format, 1);
            QVERIFY(f.noteChannels.size() >= 2);   // melody and accompaniment
            QVERIFY(!f.noteChannels.contains(9));  // no part lands on the drum channel
            const Tunes::Tune tune = Tunes::parse(QString("%1/SOUND%2.txt").arg(sources()).arg(k));
            // The file ends one beat after the last pass, to let the last notes ring.
            QVERIFY2(std::abs(f.seconds() - tune.seconds() - 60.0 / tune.tempo) < 0.01,
                     qPrintable(QString("%1: %2 s").arg(k).arg(f.seconds())));
            QVERIFY(f.seconds() >= 60 && f.seconds() <= 181);
        }
    }

    void everyTunePlaysThroughFluidSynth() {
        if (!QFile::exists(sound() + "/SOUND1.MID"))
            QSKIP("the course has not been built (target course)");
        if (!QFile::exists(kSoundFont))
            QSKIP("the General MIDI sound font (fluid-soundfont-gm) is not installed");
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        for (int k = 1; k <= 10; ++k) {
            const int rate = 22050;
            fluid_settings_t* settings = new_fluid_settings();
            fluid_settings_setnum(settings, "synth.sample-rate", rate);
            fluid_settings_setstr(settings, "player.timing-source", "sample");
            fluid_settings_setint(settings, "synth.lock-memory", 0);
            fluid_synth_t* synth = new_fluid_synth(settings);
            QVERIFY(fluid_synth_sfload(synth, kSoundFont, 1) != FLUID_FAILED);
            fluid_player_t* player = new_fluid_player(synth);
            const QByteArray path = QString("%1/SOUND%2.MID").arg(sound()).arg(k).toLocal8Bit();
            QCOMPARE(fluid_player_add(player, path.constData()), FLUID_OK);
            QCOMPARE(fluid_player_play(player), FLUID_OK);
            std::vector<short> buffer(2 * 1024);
            qint64 frames = 0;
            int peak = 0;
            while (fluid_player_get_status(player) == FLUID_PLAYER_PLAYING && frames < rate * 200) {
                fluid_synth_write_s16(synth, 1024, buffer.data(), 0, 2, buffer.data(), 1, 2);
                frames += 1024;
                for (short s : buffer) peak = std::max(peak, std::abs(int(s)));
            }
            // FluidSynth's own reading of the file: its length in ticks at the file's tempo.
            const double fileSeconds = double(fluid_player_get_total_ticks(player)) /
                                       Tunes::kTicksPerQuarter *
                                       fluid_player_get_midi_tempo(player) / 1e6;
            delete_fluid_player(player);
            delete_fluid_synth(synth);
            delete_fluid_settings(settings);
            const Tunes::Tune tune = Tunes::parse(QString("%1/SOUND%2.txt").arg(sources()).arg(k));
            const double stated = tune.seconds() + 60.0 / tune.tempo;  // with the ring-out beat
            QVERIFY2(std::abs(fileSeconds - stated) < 0.1,
                     qPrintable(QString("SOUND%1 is %2 s long for FluidSynth, the source says %3 s")
                                    .arg(k)
                                    .arg(fileSeconds)
                                    .arg(stated)));
            // The player stops at the end of the file, after the last notes have died away.
            const double played = double(frames) / rate;
            QVERIFY2(
                played >= stated - 0.5 && played <= stated + 15,
                qPrintable(
                    QString("SOUND%1 played %2 s, expected %3 s").arg(k).arg(played).arg(stated)));
            QVERIFY2(peak > 1000, qPrintable(QString("SOUND%1 is silent").arg(k)));
        }
    }
};

QTEST_MAIN(CourseTunesTest)
#include "test_coursetunes.moc"
