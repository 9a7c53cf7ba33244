// The path rule, where the course is found and the settings file written, and the tick count's
// wrap.
#include <QtTest>

#include "drills/pagetiming.h"
#include "media/playlist.h"
#include "platform/pathrule.h"
#include "platform/tickcount.h"

class PlatformTest : public QObject {
    Q_OBJECT
  private slots:
    void drivePathsResolveAgainstTheDriveRoot() {
        qunsetenv("QORVEX_DRIVE");
        qputenv("XDG_DATA_HOME", "/nonexistent");  // no course installed for this user
        qputenv("XDG_DATA_DIRS", "/nonexistent");
        QCOMPARE(PathRule::resolve("\\mavro\\Sound\\SOUND1.MID"),
                 QStringLiteral("/mavro/Sound/SOUND1.MID"));
        qputenv("QORVEX_DRIVE", "/tmp/drive/");
        QCOMPARE(PathRule::resolve("\\mavro"), QStringLiteral("/tmp/drive/mavro"));
        QCOMPARE(PathRule::resolve("\\mavro\\main.htm"),
                 QStringLiteral("/tmp/drive/mavro/main.htm"));
        qunsetenv("QORVEX_DRIVE");
    }

    void pathsDoNotDependOnTheWorkingFolder() {
        qputenv("QORVEX_DRIVE", "/srv/d");
        const QString before = PathRule::resolve("\\mavro\\111.DB");
        QDir::setCurrent(QDir::tempPath());
        QCOMPARE(PathRule::resolve("\\mavro\\111.DB"), before);
        qunsetenv("QORVEX_DRIVE");
    }

    // Places under a temporary folder: "home" is $XDG_DATA_HOME, "shareA" and "shareB" are
    // $XDG_DATA_DIRS, "drive" is named by QORVEX_DRIVE when a row asks for it. A place holds a
    // course when listed in "courses", or only a music settings file when listed in "leftovers".
    void whereTheCourseIsFoundAndTheSettingsGo_data() {
        QTest::addColumn<QStringList>("courses");
        QTest::addColumn<QStringList>("leftovers");
        QTest::addColumn<bool>("drive");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("settings");
        const QString own = "home/qorvex/mavro/Sound/PlayList.TXT";
        QTest::newRow("none") << QStringList() << QStringList() << false << "/" << own;
        QTest::newRow("shared, first wins")
            << QStringList{"shareA", "shareB"} << QStringList() << false << "shareA/qorvex" << own;
        QTest::newRow("second shared")
            << QStringList{"shareB"} << QStringList() << false << "shareB/qorvex" << own;
        QTest::newRow("own before shared")
            << QStringList{"home", "shareA"} << QStringList() << false << "home/qorvex" << own;
        QTest::newRow("settings alone are no course")
            << QStringList{"shareB"} << QStringList{"home"} << false << "shareB/qorvex" << own;
        QTest::newRow("drive wins, written beside")
            << QStringList{"home", "shareA"} << QStringList() << true << "drive"
            << "drive/mavro/Sound/PlayList.TXT";
    }
    void whereTheCourseIsFoundAndTheSettingsGo() {
        QFETCH(QStringList, courses);
        QFETCH(QStringList, leftovers);
        QFETCH(bool, drive);
        QFETCH(QString, root);
        QFETCH(QString, settings);
        QTemporaryDir base;
        const auto place = [&](const QString& name) {
            return base.filePath(name == "drive" ? name : name + "/qorvex");
        };
        for (const QString& name : courses) {
            QVERIFY(QDir().mkpath(place(name) + "/mavro/Sound"));
            QFile table(place(name) + "/mavro/111.DB");
            QVERIFY(table.open(QIODevice::WriteOnly));
        }
        for (const QString& name : leftovers) {
            QVERIFY(QDir().mkpath(place(name) + "/mavro/Sound"));
            QFile file(place(name) + "/mavro/Sound/PlayList.TXT");
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        qputenv("XDG_DATA_HOME", base.filePath("home").toLocal8Bit());
        qputenv("XDG_DATA_DIRS",
                (base.filePath("shareA") + ':' + base.filePath("shareB")).toLocal8Bit());
        if (drive) {
            QVERIFY(QDir().mkpath(base.filePath("drive/mavro/Sound")));
            qputenv("QORVEX_DRIVE", base.filePath("drive").toLocal8Bit());
        } else {
            qunsetenv("QORVEX_DRIVE");
        }

        QCOMPARE(PathRule::driveRoot(), root == "/" ? root : base.filePath(root));
        Tunes::writeSettings("2P");
        QFile written(base.filePath(settings));
        QVERIFY2(written.open(QIODevice::ReadOnly), qPrintable(written.fileName()));
        QCOMPARE(written.readAll(), QByteArray("2P\r\n"));
        // Nothing else was written: an installed course stays as it was.
        QDirIterator it(base.path(), {"PlayList.TXT"}, QDir::Files, QDirIterator::Subdirectories);
        QCOMPARE(it.next(), written.fileName());
        QVERIFY(!it.hasNext());
    }

    void cleanup() {
        qunsetenv("QORVEX_DRIVE");
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
    }

    void elapsedTimeSurvivesTheWrapOfTheTickCount() {
        QCOMPARE(PageTiming::elapsed(0xFFFFFC18u, 1000u), qint64(2000));
        QCOMPARE(PageTiming::elapsed(5000u, 65500u), qint64(60500));
        TickCount::setSource([] { return 0xFFFFFFFFu; });
        QCOMPARE(TickCount::now(), 0xFFFFFFFFu);
        TickCount::setSource({});
        QVERIFY(TickCount::now() != 0xFFFFFFFFu);
    }

    // The boxes filled without a key stroke: the page runs from its showing.
    void pageWithoutInputIsTimedFromItsShowing() {
        PageClock clock;
        clock.pageShown(0xFFFFFC18u);
        clock.boxChanged(1, 0, 0xFFFFFFF0u);  // emptied by the drill
        QVERIFY(!clock.running());
        QCOMPARE(clock.elapsed(1000u), qint64(2000));
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
