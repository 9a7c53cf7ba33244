// The music window and the playback loop on the main window, with a fake sound output so that a
// test decides when a tune ends.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest>

#include "app/cmavro.h"
#include "media/CSound.h"
#include "media/mididevice.h"
#include "media/playlist.h"
#include "support/courseprogram.h"
#include "support/midifixture.h"

namespace {

// Keeps what the player asked of it; the test ends a tune with finish().
class FakeMidiDevice : public MidiDevice {
  public:
    QString path;  // the open tune, empty when none
    bool isPlaying = false;
    bool ended = false;
    int position = 0;
    quint64 currentPlay = 0;
    QStringList log;
    bool withoutCard = false;  // as FluidSynth renders when no sound card opens

    void setEndHandler(EndHandler handler) override { onEnd = std::move(handler); }
    void open(const QString& tunePath) override {
        path = tunePath;
        isPlaying = ended = false;
        position = 0;
        log << "open " + QFileInfo(tunePath).fileName();
    }
    void unload() override {
        path.clear();
        isPlaying = false;
        log << "unload";
    }
    void close() override {
        path.clear();
        isPlaying = false;
    }
    void play(quint64 play) override {
        currentPlay = play;
        isPlaying = true;
        log << "play";
    }
    void pause() override {
        isPlaying = false;
        log << "pause";
    }
    void rewind() override {
        position = 0;
        ended = false;
        log << "rewind";
    }
    bool playing() const override { return isPlaying; }
    bool atEnd() const override { return ended; }
    bool silent() const override { return withoutCard; }

    // The tune plays to its end, as the rendering thread would report it.
    void finish() {
        QVERIFY(isPlaying);
        isPlaying = false;
        ended = true;
        position = 1000;
        onEnd(currentPlay);
    }

  private:
    EndHandler onEnd;
};

QByteArray settingsFile() {
    QFile file(Tunes::settingsPath());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<none>");
    return file.readAll();
}

}  // namespace

class MusicTest : public QObject {
    Q_OBJECT

    CourseProgram program;
    FakeMidiDevice* device = nullptr;
    QList<TMediaPlayer::NotifyValue> notifications;

    TMediaPlayer* player() const { return frmmavro->MediaPlayer1; }
    QRadioButton* radio(int k) const { return frmSound->RadioButtons[k - 1]; }
    QColor captionColour(QToolButton* button) const {
        return button->palette().color(QPalette::ButtonText);
    }
    QColor windowText() const { return QApplication::palette().color(QPalette::WindowText); }
    QString openTune() const { return QFileInfo(device->path).fileName(); }

    // The pupil picks a tune with the mouse.
    void choose(int k) { QTest::mouseClick(radio(k), Qt::LeftButton); }
    // Lets the queued notifications arrive.
    void settle() { QTest::qWait(30); }

    void checkRed(QToolButton* red) {
        for (QToolButton* button :
             {frmSound->SpeedButton1, frmSound->SpeedButton2, frmSound->SpeedButton3})
            QCOMPARE(captionColour(button), button == red ? QColor(Qt::red) : windowText());
    }

  private slots:
    void init() {
        VERIFY_NO_FAULT(program.start([](FixtureCourse&) {
            for (int k = 1; k <= Tunes::kCount; ++k) MidiFixture::write(Tunes::path(k));
        }));
        auto fake = std::make_unique<FakeMidiDevice>();
        device = fake.get();
        player()->setDevice(std::move(fake));
        // Every notification the playback loop receives, in order.
        notifications.clear();
        player()->OnNotify = [this, loop = player()->OnNotify] {
            notifications << player()->notifyValue();
            loop();
        };
        frmSound->show();
        frmSound->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frmSound));
    }
    void cleanup() {
        frmSound->hide();
        program.stop();
    }

    void windowLooksAsDesigned() {
        QCOMPARE(frmSound->windowTitle(), QStringLiteral("Tarvelle---->背景音乐设置"));
        QCOMPARE(frmSound->outerGeometry().size(), QSize(499, 290));
        QCOMPARE(frmSound->GroupBox1->title(), QStringLiteral("选曲"));
        QCOMPARE(frmSound->GroupBox1->geometry(), QRect(8, 8, 289, 241));
        const char* numerals[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
        for (int k = 1; k <= 10; ++k) {
            QCOMPARE(radio(k)->objectName(), QStringLiteral("RadioButton%1").arg(k));
            QCOMPARE(radio(k)->text(),
                     QStringLiteral("背景音乐") + QString::fromUtf8(numerals[k - 1]));
            QCOMPARE(radio(k)->pos(), QPoint(k <= 5 ? 24 : 168, 40 * ((k - 1) % 5 + 1)));
        }
        QCOMPARE(radio(7)->size(), QSize(113, 16));
        QCOMPARE(radio(1)->size(), QSize(113, 17));
        QCOMPARE(frmSound->SpeedButton1->text(), QStringLiteral("循环播放[&P]"));
        QCOMPARE(frmSound->SpeedButton2->text(), QStringLiteral("单曲播放[&R]"));
        QCOMPARE(frmSound->SpeedButton3->text(), QStringLiteral("停止播放[&T]"));
        QCOMPARE(frmSound->SpeedButton4->text(), QStringLiteral("关闭[&C]"));
        QCOMPARE(frmSound->SpeedButton1->geometry(), QRect(320, 16, 153, 33));
        QCOMPARE(frmSound->SpeedButton4->geometry(), QRect(318, 208, 151, 33));
        for (QToolButton* button : {frmSound->SpeedButton1, frmSound->SpeedButton2,
                                    frmSound->SpeedButton3, frmSound->SpeedButton4})
            QVERIFY(!button->icon().isNull());
    }

    void nothingPlaysAtStartUpAndModeButtonsDoNothing() {
        QVERIFY(player()->FileName.isEmpty());
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::NotOpen);
        QVERIFY(!player()->Notify);
        QVERIFY(radio(1)->isChecked());
        QCOMPARE(frmmavro->Label3->text(), QString());
        checkRed(nullptr);

        QTest::mouseClick(frmSound->SpeedButton1, Qt::LeftButton);
        QTest::mouseClick(frmSound->SpeedButton2, Qt::LeftButton);
        QTest::mouseClick(frmSound->SpeedButton3, Qt::LeftButton);
        choose(1);  // already selected: selects nothing, runs nothing
        settle();
        QVERIFY(device->log.isEmpty());
        QCOMPARE(settingsFile(), QByteArray("<none>"));
        QCOMPARE(frmmavro->Label3->text(), QString());
        checkRed(nullptr);
        QVERIFY(program.errors().isEmpty());
    }

    void choosingTuneTwoPlaysItInCycleMode() {
        choose(2);
        QVERIFY(radio(2)->isChecked());
        QCOMPARE(player()->FileName, Tunes::path(2));
        QCOMPARE(openTune(), QStringLiteral("SOUND2.MID"));
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
        QVERIFY(player()->Notify);
        QCOMPARE(settingsFile(), QByteArray("2P\r\n"));
        QCOMPARE(frmmavro->Label3->text(), QString());  // choosing leaves the play mode alone
        checkRed(frmSound->SpeedButton1);

        device->finish();  // in cycle mode tune 3 follows
        QTRY_VERIFY(radio(3)->isChecked());
        QCOMPARE(openTune(), QStringLiteral("SOUND3.MID"));
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
        QCOMPARE(settingsFile(), QByteArray("3P\r\n"));
        QVERIFY(program.errors().isEmpty());
    }

    void tuneTenEndsAndTuneOneFollows() {
        choose(10);
        QCOMPARE(settingsFile(), QByteArray("10P\r\n"));
        device->finish();
        QTRY_VERIFY(radio(1)->isChecked());
        QCOMPARE(player()->FileName, Tunes::path(1));
        QCOMPARE(openTune(), QStringLiteral("SOUND1.MID"));
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
        QCOMPARE(settingsFile(), QByteArray("1P\r\n"));
        checkRed(frmSound->SpeedButton1);
        // The play the radio handler started is superseded by the loop's own; it stays quiet.
        settle();
        using V = TMediaPlayer::NotifyValue;
        QCOMPARE(notifications, (QList<V>{V::Successful, V::Superseded}));
        QCOMPARE(openTune(), QStringLiteral("SOUND1.MID"));
        QVERIFY(radio(1)->isChecked());
        QVERIFY(program.errors().isEmpty());
    }

    void repeatModePlaysTheSameTuneAgain() {
        choose(5);
        QTest::mouseClick(frmSound->SpeedButton2, Qt::LeftButton);
        QCOMPARE(frmmavro->Label3->text(), QStringLiteral("PLAY_R"));
        QCOMPARE(settingsFile(), QByteArray("5R\r\n"));
        checkRed(frmSound->SpeedButton2);
        for (int round = 0; round < 3; ++round) {
            device->log.clear();
            device->finish();
            QTRY_COMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
            QCOMPARE(device->log, (QStringList{"rewind", "play"}));
            QCOMPARE(openTune(), QStringLiteral("SOUND5.MID"));
            QCOMPARE(device->position, 0);
        }
        QVERIFY(radio(5)->isChecked());
        QCOMPARE(settingsFile(), QByteArray("5R\r\n"));
        QVERIFY(program.errors().isEmpty());
    }

    void choosingTuneInRepeatModeKeepsRepeatingIt() {
        choose(4);
        QTest::mouseClick(frmSound->SpeedButton2, Qt::LeftButton);
        choose(7);
        QCOMPARE(openTune(), QStringLiteral("SOUND7.MID"));
        QCOMPARE(frmmavro->Label3->text(), QStringLiteral("PLAY_R"));
        QCOMPARE(settingsFile(), QByteArray("7P\r\n"));
        checkRed(frmSound->SpeedButton1);  // shown as cycling although it repeats
        settle();
        device->log.clear();
        device->finish();
        QTRY_COMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
        QCOMPARE(device->log, (QStringList{"rewind", "play"}));
        QCOMPARE(openTune(), QStringLiteral("SOUND7.MID"));
        QVERIFY(radio(7)->isChecked());
    }

    void stopThenCycleResumesWhereItStopped() {
        choose(4);
        device->position = 500;
        QTest::mouseClick(frmSound->SpeedButton3, Qt::LeftButton);
        QVERIFY(!player()->Notify);
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Stopped);
        QCOMPARE(settingsFile(), QByteArray("4T\r\n"));
        checkRed(frmSound->SpeedButton3);
        // The aborted play's notification finds the flag off; the loop only turns it on again.
        QTRY_VERIFY(player()->Notify);
        QCOMPARE(notifications,
                 QList<TMediaPlayer::NotifyValue>{TMediaPlayer::NotifyValue::Aborted});
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Stopped);
        QCOMPARE(openTune(), QStringLiteral("SOUND4.MID"));
        QCOMPARE(frmmavro->Label3->text(), QString());

        device->log.clear();
        QTest::mouseClick(frmSound->SpeedButton1, Qt::LeftButton);
        QCOMPARE(device->log, QStringList{"play"});  // no rewind: on from where it stopped
        QCOMPARE(device->position, 500);
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
        QCOMPARE(frmmavro->Label3->text(), QStringLiteral("PLAY_P"));
        QCOMPARE(settingsFile(), QByteArray("4P\r\n"));
        checkRed(frmSound->SpeedButton1);
        settle();
        QCOMPARE(openTune(), QStringLiteral("SOUND4.MID"));
    }

    void startingATuneAtItsEndBeginsItAgain() {
        choose(2);
        QTest::mouseClick(frmSound->SpeedButton3, Qt::LeftButton);
        settle();
        device->ended = true;  // as if it had reached its end before the stop
        device->log.clear();
        QTest::mouseClick(frmSound->SpeedButton2, Qt::LeftButton);
        QCOMPARE(device->log, (QStringList{"rewind", "play"}));
    }

    void fileNamesCompareIgnoringAsciiCase() {
        choose(3);
        player()->FileName = Tunes::path(3).toLower();
        device->finish();
        QTRY_VERIFY(radio(4)->isChecked());
        QCOMPARE(player()->FileName, Tunes::path(4));
        QCOMPARE(openTune(), QStringLiteral("SOUND4.MID"));
        QCOMPARE(settingsFile(), QByteArray("4P\r\n"));
    }

    void aFileNameOfNoTuneIsPlayedAgain() {
        choose(3);
        const QString other = QDir(program.course().mavro()).filePath("Sound/other.mid");
        MidiFixture::write(other);
        player()->FileName = other;
        device->finish();
        QTRY_COMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
        QCOMPARE(player()->FileName, other);
        QCOMPARE(openTune(), QStringLiteral("other.mid"));
        QVERIFY(radio(3)->isChecked());
    }

    void aSupersededPlayLeavesTheLoopQuiet() {
        choose(2);
        choose(6);
        settle();
        QCOMPARE(notifications,
                 QList<TMediaPlayer::NotifyValue>{TMediaPlayer::NotifyValue::Superseded});
        QVERIFY(radio(6)->isChecked());
        QCOMPARE(openTune(), QStringLiteral("SOUND6.MID"));
        QCOMPARE(settingsFile(), QByteArray("6P\r\n"));
    }

    void aMissingTuneInsideTheLoopStopsTheMusic() {
        QFile::remove(Tunes::path(6));
        choose(5);
        device->finish();
        QTRY_COMPARE(program.errors().size(), 1);
        QVERIFY2(program.errors()[0].contains("SOUND6.MID"), qPrintable(program.errors()[0]));
        QVERIFY(radio(6)->isChecked());
        QCOMPARE(player()->FileName, Tunes::path(6));
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::NotOpen);
        QVERIFY(!device->isPlaying);
        QCOMPARE(settingsFile(), QByteArray("5P\r\n"));
        settle();
        QCOMPARE(program.errors().size(), 1);

        // The mode buttons now find no device.
        for (QToolButton* button :
             {frmSound->SpeedButton1, frmSound->SpeedButton2, frmSound->SpeedButton3}) {
            program.errors().clear();
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(program.errors(),
                     QStringList{QStringLiteral("没有打开的乐曲，请先选一首能播放的背景音乐。")});
        }
        QCOMPARE(frmmavro->Label3->text(), QString());
        QCOMPARE(settingsFile(), QByteArray("5P\r\n"));
        checkRed(frmSound->SpeedButton1);
    }

    // Music nobody hears is said once, and the tunes go on as chosen.
    void withoutASoundCardThePupilIsToldOnce() {
        device->withoutCard = true;
        choose(2);
        choose(3);
        device->finish();
        QTRY_VERIFY(radio(4)->isChecked());
        QCOMPARE(program.errors().size(), 1);
        QVERIFY2(program.errors()[0].contains(QStringLiteral("没有找到可用的声音设备")),
                 qPrintable(program.errors()[0]));
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
    }

    void aMissingTuneChosenByThePupilPlaysNothing() {
        choose(2);
        QTest::mouseClick(frmSound->SpeedButton2, Qt::LeftButton);  // 2R, repeat button red
        QFile::remove(Tunes::path(8));
        choose(8);
        QCOMPARE(program.errors().size(), 1);
        QVERIFY(program.errors()[0].contains("SOUND8.MID"));
        QVERIFY(radio(8)->isChecked());
        QCOMPARE(player()->FileName, Tunes::path(8));
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::NotOpen);
        QCOMPARE(settingsFile(), QByteArray("2R\r\n"));
        checkRed(frmSound->SpeedButton2);
        settle();
        QCOMPARE(program.errors().size(), 1);  // the superseded play of tune 2 stays quiet
    }

    void anUnwritableSettingsFileIsReported() {
        QDir().mkpath(Tunes::settingsPath());  // a folder where the file should be
        choose(2);
        QCOMPARE(program.errors().size(), 1);
        QVERIFY2(program.errors()[0].contains("PlayList.TXT"), qPrintable(program.errors()[0]));
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Playing);  // the tune plays
        checkRed(nullptr);                                        // the colouring was skipped

        QTest::mouseClick(frmSound->SpeedButton2, Qt::LeftButton);
        QCOMPARE(program.errors().size(), 2);
        QCOMPARE(frmmavro->Label3->text(), QStringLiteral("PLAY_R"));  // set before the write
        checkRed(frmSound->SpeedButton2);
    }

    void acceleratorKeysPressTheButtons() {
        choose(9);
        QTest::keyClick(frmSound, Qt::Key_R, Qt::AltModifier);  // a mnemonic clicks a moment later
        QTRY_COMPARE(frmmavro->Label3->text(), QStringLiteral("PLAY_R"));
        QCOMPARE(settingsFile(), QByteArray("9R\r\n"));
        QTest::keyClick(frmSound, Qt::Key_T);
        QCOMPARE(settingsFile(), QByteArray("9T\r\n"));
        QTest::keyClick(frmSound, Qt::Key_P);
        QCOMPARE(frmmavro->Label3->text(), QStringLiteral("PLAY_P"));
        QCOMPARE(settingsFile(), QByteArray("9P\r\n"));
    }

    void musicGoesOnAfterTheWindowCloses() {
        frmSound->hide();
        whenModal([this] {
            QCOMPARE(QApplication::activeModalWidget(), frmSound);
            choose(3);
            QTest::mouseClick(frmSound->SpeedButton2, Qt::LeftButton);
            QTest::mouseClick(frmSound->SpeedButton4, Qt::LeftButton);
            if (frmSound->isVisible())
                frmSound->reject();  // a failed check must not leave the window waiting
        });
        frmmavro->runCommand("S1");
        QVERIFY(!frmSound->isVisible());
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
        QCOMPARE(openTune(), QStringLiteral("SOUND3.MID"));

        // A tune that ends while the window is closed still follows the play mode.
        device->finish();
        QTRY_COMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
        QCOMPARE(openTune(), QStringLiteral("SOUND3.MID"));

        bool shownAsLeft = false;
        whenModal([&] {
            shownAsLeft =
                radio(3)->isChecked() && captionColour(frmSound->SpeedButton2) == QColor(Qt::red);
            QTest::keyClick(frmSound, Qt::Key_Escape);  // no cancel button: stays open
            QVERIFY(frmSound->isVisible());
            QTest::keyClick(frmSound, Qt::Key_C, Qt::AltModifier);
            QTRY_VERIFY(!frmSound->isVisible());
        });
        frmmavro->runCommand("S1");
        QVERIFY(shownAsLeft);
        QVERIFY(!frmSound->isVisible());
        QCOMPARE(player()->mode(), TMediaPlayer::Mode::Playing);
    }
};

QTEST_MAIN(MusicTest)
#include "test_music.moc"
