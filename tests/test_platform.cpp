// The path rule and the tick count's wrap.
#include <QtTest>

#include "drills/pagetiming.h"
#include "platform/pathrule.h"
#include "platform/tickcount.h"

class PlatformTest : public QObject {
    Q_OBJECT
  private slots:
    void drivePathsResolveAgainstTheDriveRoot() {
        qunsetenv("QORVEX_DRIVE");
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

    void elapsedTimeSurvivesTheWrapOfTheTickCount() {
        QCOMPARE(PageTiming::elapsed(0xFFFFFC18u, 1000u), qint64(2000));
        QCOMPARE(PageTiming::elapsed(5000u, 65500u), qint64(60500));
        TickCount::setSource([] { return 0xFFFFFFFFu; });
        QCOMPARE(TickCount::now(), 0xFFFFFFFFu);
        TickCount::setSource({});
        QVERIFY(TickCount::now() != 0xFFFFFFFFu);
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
