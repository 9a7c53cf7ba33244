// The music player with the real FluidSynth output from its module, rendering silently as on a
// machine without a sound card, on short MIDI files written by the test.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QtTest>

#include "app/cmavro.h"
#include "media/CSound.h"
#include "media/mediaplayer.h"
#include "media/midimodule.h"
#include "media/playlist.h"
#include "platform/errors.h"
#include "support/appfixture.h"
#include "support/fixturecourse.h"
#include "support/midifixture.h"

namespace {

constexpr int kNotes = 3;
constexpr int kNoteMs = 250;  // the tune's notes last 750 ms

// The audio libraries FluidSynth brings in that are mapped into this process, by name without
// ".so" and version.
QStringList audioLibrariesMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {QStringLiteral("/proc/self/maps cannot be read")};
    QStringList found;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        if (!line.contains('/'))
            continue;
        const QString file = QFileInfo(QString::fromLocal8Bit(line.mid(line.indexOf('/'))))
                                 .fileName()
                                 .section(QStringLiteral(".so"), 0, 0);
        for (const char* library :
             {"libfluidsynth", "libpulse", "libSDL2", "libjack", "libsndfile"})
            if (file.startsWith(QLatin1String(library)) && !found.contains(file))
                found << file;
    }
    return found;
}

struct Notification {
    TMediaPlayer::NotifyValue value;
    QThread* thread;
    qint64 atMs;
};

}  // namespace

class MusicFluidSynthTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir;
    TMediaPlayer* player = nullptr;
    QList<Notification> notifications;
    QElapsedTimer clock;

    QString tunePath() const { return dir.filePath("tune.mid"); }

    void waitForNotifications(int count) {
        QTRY_VERIFY_WITH_TIMEOUT(notifications.size() >= count, 15000);
    }

  private slots:
    void initTestCase() {
        QVERIFY(QFile::exists(MidiModule::defaultSoundFont()));
        MidiFixture::write(tunePath(), kNotes, kNoteMs);
    }

    void init() {
        notifications.clear();
        player = new TMediaPlayer;
        player->setOutput(MidiModule::Output::Silent);
        player->OnNotify = [this] {
            notifications << Notification{player->notifyValue(), QThread::currentThread(),
                                          clock.elapsed()};
        };
        player->FileName = tunePath();
    }
    void cleanup() {
        delete player;
        player = nullptr;
    }

    // Runs first, before any test loads the module: start-up with all nine windows maps no audio
    // library; the pupil's first tune brings FluidSynth in and plays.
    void noAudioLibraryIsMappedBeforeTheFirstTune() {
        FixtureCourse course;
        course.writeAll();
        MidiFixture::write(Tunes::path(2), 1, 300);
        AppFixture app;
        frmmavro->MediaPlayer1->setOutput(MidiModule::Output::Silent);
        QCOMPARE(audioLibrariesMapped(), QStringList());
        whenModal([] {
            QTest::mouseClick(frmSound->RadioButtons[1], Qt::LeftButton);
            QTest::mouseClick(frmSound->SpeedButton4, Qt::LeftButton);
        });
        frmmavro->runCommand("S1");
        QVERIFY2(app.errors.isEmpty(), qPrintable(app.errors.join('\n')));
        QCOMPARE(frmmavro->MediaPlayer1->mode(), TMediaPlayer::Mode::Playing);
        QVERIFY2(audioLibrariesMapped().contains(QStringLiteral("libfluidsynth")),
                 qPrintable(audioLibrariesMapped().join(' ')));
    }

    // Without its module the music is reported as a missing sound font is: a message box when the
    // pupil chooses a tune, and nothing plays.
    void aMissingModuleIsReportedWhenATuneIsChosen() {
        FixtureCourse course;
        course.writeAll();
        MidiFixture::write(Tunes::path(2), 1, 300);
        const QStringList found = MidiModule::locations();
        QTemporaryDir empty;
        MidiModule::setLocations({empty.path()});
        AppFixture app;
        whenModal([] {
            QTest::mouseClick(frmSound->RadioButtons[1], Qt::LeftButton);
            QTest::mouseClick(frmSound->SpeedButton4, Qt::LeftButton);
        });
        frmmavro->runCommand("S1");
        MidiModule::setLocations(found);
        QCOMPARE(app.errors.size(), 1);
        QVERIFY2(app.errors[0].contains(QStringLiteral("qorvex-fluidsynth.so")) &&
                     app.errors[0].contains(QDir::toNativeSeparators(empty.path())),
                 qPrintable(app.errors[0]));
        QCOMPARE(frmmavro->MediaPlayer1->mode(), TMediaPlayer::Mode::NotOpen);
        QVERIFY(!QFile::exists(Tunes::settingsPath()));
    }

    void aTunePlaysSilentlyToItsEndAndNotifiesOnTheGuiThread() {
        player->load();
        QVERIFY(player->device()->silent());
        QCOMPARE(player->mode(), TMediaPlayer::Mode::Stopped);
        clock.start();
        player->start();
        QCOMPARE(player->mode(), TMediaPlayer::Mode::Playing);
        QTest::qWait(300);
        QCOMPARE(player->mode(), TMediaPlayer::Mode::Playing);
        QVERIFY(notifications.isEmpty());

        waitForNotifications(1);
        QCOMPARE(notifications[0].value, TMediaPlayer::NotifyValue::Successful);
        QCOMPARE(notifications[0].thread, qApp->thread());
        // Rendered at real-time pace: not before the notes are over.
        QVERIFY2(notifications[0].atMs >= kNotes * kNoteMs,
                 qPrintable(QString::number(notifications[0].atMs)));
        QCOMPARE(player->mode(), TMediaPlayer::Mode::Stopped);
        QTest::qWait(200);
        QCOMPARE(notifications.size(), 1);
    }

    void aTuneAtItsEndStartsFromTheBeginning() {
        player->load();
        player->start();
        waitForNotifications(1);
        clock.start();
        player->start();
        waitForNotifications(2);
        QCOMPARE(notifications[1].value, TMediaPlayer::NotifyValue::Successful);
        QVERIFY(notifications[1].atMs >= kNotes * kNoteMs);
    }

    void haltKeepsThePositionAndStartResumes() {
        player->load();
        clock.start();
        player->start();
        QTest::qWait(200);
        player->start();  // supersedes the first play
        waitForNotifications(1);
        QCOMPARE(notifications[0].value, TMediaPlayer::NotifyValue::Superseded);
        waitForNotifications(2);
        const qint64 whole = notifications[1].atMs;

        notifications.clear();
        player->rewind();
        clock.start();
        player->start();
        QTest::qWait(500);
        player->halt();
        QCOMPARE(player->mode(), TMediaPlayer::Mode::Stopped);
        waitForNotifications(1);
        QCOMPARE(notifications[0].value, TMediaPlayer::NotifyValue::Aborted);
        QTest::qWait(1000);  // halted: nothing goes on meanwhile
        QCOMPARE(notifications.size(), 1);
        QCOMPARE(player->mode(), TMediaPlayer::Mode::Stopped);

        clock.start();
        player->start();
        waitForNotifications(2);
        QCOMPARE(notifications[1].value, TMediaPlayer::NotifyValue::Successful);
        // The rest of the tune, not all of it.
        QVERIFY2(
            notifications[1].atMs < whole - 300,
            qPrintable(
                QStringLiteral("rest %1 ms, whole %2 ms").arg(notifications[1].atMs).arg(whole)));
    }

    void loadErrorsAndAMissingDevice() {
        player->FileName = dir.filePath("missing.mid");
        try {
            player->load();
            QFAIL("a missing file loaded");
        } catch (const AppError& e) {
            QVERIFY2(e.message().contains("missing.mid"), qPrintable(e.message()));
        }
        QFile text(dir.filePath("text.mid"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not music at all");
        text.close();
        player->FileName = text.fileName();
        try {
            player->load();
            QFAIL("a text file loaded");
        } catch (const AppError& e) {
            QVERIFY2(e.message().contains("不是 MIDI 乐曲文件"), qPrintable(e.message()));
        }
        QCOMPARE(player->mode(), TMediaPlayer::Mode::NotOpen);
        for (auto operation : {&TMediaPlayer::start, &TMediaPlayer::halt, &TMediaPlayer::rewind}) {
            try {
                (player->*operation)();
                QFAIL("no error without a device");
            } catch (const AppError& e) {
                QCOMPARE(e.message(),
                         QStringLiteral("没有打开的乐曲，请先选一首能播放的背景音乐。"));
            }
        }
    }

    // The whole road: the pupil chooses a tune, it ends, the loop plays the next one; the
    // program then exits while music plays.
    void theLoopGoesOnToTheNextTuneAndExitStopsTheMusic() {
        FixtureCourse course;
        course.writeAll();
        for (int k = 1; k <= Tunes::kCount; ++k) MidiFixture::write(Tunes::path(k), 1, 300);
        auto* app = new AppFixture;
        frmmavro->MediaPlayer1->setOutput(MidiModule::Output::Silent);
        whenModal([] {
            QTest::mouseClick(frmSound->RadioButtons[2], Qt::LeftButton);
            QTest::mouseClick(frmSound->SpeedButton4, Qt::LeftButton);
        });
        frmmavro->runCommand("S1");
        QCOMPARE(frmmavro->MediaPlayer1->mode(), TMediaPlayer::Mode::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(frmSound->RadioButtons[3]->isChecked(), 15000);
        QCOMPARE(frmmavro->MediaPlayer1->FileName, Tunes::path(4));
        QCOMPARE(frmmavro->MediaPlayer1->mode(), TMediaPlayer::Mode::Playing);
        QFile settings(Tunes::settingsPath());
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QCOMPARE(settings.readAll(), QByteArray("4P\r\n"));
        QVERIFY(app->errors.isEmpty());
        delete app;  // while tune 4 plays
        QTest::qWait(100);
    }
};

QTEST_MAIN(MusicFluidSynthTest)
#include "test_music_fluidsynth.moc"
