// The music player with the real FluidSynth output, rendering silently as on a machine without a
// sound card, on short MIDI files written by the test.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QtTest>

#include "app/cmavro.h"
#include "media/CSound.h"
#include "media/fluidsynthdevice.h"
#include "media/mediaplayer.h"
#include "media/playlist.h"
#include "platform/errors.h"
#include "support/appfixture.h"
#include "support/fixturecourse.h"
#include "support/midifixture.h"

namespace {

constexpr int kNotes = 3;
constexpr int kNoteMs = 250;  // the tune's notes last 750 ms

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
    FluidSynthDevice* device = nullptr;
    QList<Notification> notifications;
    QElapsedTimer clock;

    QString tunePath() const { return dir.filePath("tune.mid"); }

    void waitForNotifications(int count) {
        QTRY_VERIFY_WITH_TIMEOUT(notifications.size() >= count, 15000);
    }

  private slots:
    void initTestCase() {
        QVERIFY(QFile::exists(FluidSynthDevice::defaultSoundFont()));
        MidiFixture::write(tunePath(), kNotes, kNoteMs);
    }

    void init() {
        notifications.clear();
        player = new TMediaPlayer;
        auto output = std::make_unique<FluidSynthDevice>(FluidSynthDevice::Output::Silent);
        device = output.get();
        player->setDevice(std::move(output));
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

    void aTunePlaysSilentlyToItsEndAndNotifiesOnTheGuiThread() {
        player->load();
        QVERIFY(device->silent());
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
                QCOMPARE(e.message(), QStringLiteral("No MCI device open"));
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
        frmmavro->MediaPlayer1->setDevice(
            std::make_unique<FluidSynthDevice>(FluidSynthDevice::Output::Silent));
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
