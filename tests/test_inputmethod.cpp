// The input method frontend chosen before Qt starts, asked of a session bus of our own, and the
// one line the set-up page changes in the pupil's fcitx5 table settings.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QtTest>

#include "platform/busnames.h"
#include "platform/inputmethod.h"

using InputMethod::Desktop;

class InputMethodTest : public QObject {
    Q_OBJECT

    QString busAddress;
    qint64 busPid = 0;

  private slots:
    void initTestCase() {
        QProcess bus;
        bus.start("dbus-daemon", {"--session", "--fork", "--print-address=1", "--print-pid=1"});
        QVERIFY(bus.waitForFinished(10000) && bus.exitCode() == 0);
        const QStringList lines = QString::fromLocal8Bit(bus.readAllStandardOutput()).split('\n');
        QVERIFY(lines.size() >= 2);
        busAddress = lines[0].trimmed();
        busPid = lines[1].trimmed().toLongLong();
    }
    void cleanupTestCase() {
        if (busPid > 0)
            QProcess::execute("kill", {QString::number(busPid)});
    }

    void frontendFollowsWhatRuns_data() {
        QTest::addColumn<QByteArray>("module");
        QTest::addColumn<bool>("fcitx");
        QTest::addColumn<bool>("ibus");
        QTest::addColumn<QByteArray>("chosen");
        QTest::newRow("fcitx5 first") << QByteArray() << true << true << QByteArray("fcitx");
        QTest::newRow("ibus") << QByteArray() << false << true << QByteArray("ibus");
        QTest::newRow("none runs") << QByteArray() << false << false << QByteArray();
        QTest::newRow("set stays") << QByteArray("xim") << true << false << QByteArray();
    }
    void frontendFollowsWhatRuns() {
        QFETCH(QByteArray, module);
        QFETCH(bool, fcitx);
        QFETCH(bool, ibus);
        QFETCH(QByteArray, chosen);
        QCOMPARE(InputMethod::frontendFor(Desktop{module, fcitx, ibus}), chosen);
    }

    // The start-up question goes over the bus's socket without Qt's D-Bus; an address nobody
    // listens on answers no at once.
    void startUpAsksTheSessionBus() {
        QDBusConnection owner = QDBusConnection::connectToBus(busAddress, "owner");
        QVERIFY(owner.isConnected());
        QVERIFY(owner.registerService("org.fcitx.Fcitx5"));
        qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress.toLocal8Bit());
        QCOMPARE(BusNames::ownedOnSessionBus({"org.fcitx.Fcitx5", "org.freedesktop.IBus"}, 2000),
                 (QList<bool>{true, false}));

        qunsetenv("QT_IM_MODULE");
        InputMethod::chooseFrontend();
        QCOMPARE(qgetenv("QT_IM_MODULE"), QByteArray("fcitx"));
        QVERIFY(InputMethod::frontendChosenHere());
        qputenv("QT_IM_MODULE", "xim");
        InputMethod::chooseFrontend();
        QCOMPARE(qgetenv("QT_IM_MODULE"), QByteArray("xim"));

        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(BusNames::ownedOnSessionBus({"org.fcitx.Fcitx5"}, 2000), QList<bool>{false});
        QVERIFY(clock.elapsed() < 1000);
        QDBusConnection::disconnectFromBus("owner");
    }

    void onlyTheOrderLineChanges_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("no file") << QString() << QStringLiteral("[Table]\nOrderPolicy=No\n");
        QTest::newRow("value replaced")
            << QStringLiteral(
                   "[Table]\n# Order policy\nOrderPolicy=Freq\nLearning=True\n\n"
                   "[Table/PrevPage]\n0=Up\n")
            << QStringLiteral(
                   "[Table]\n# Order policy\nOrderPolicy=No\nLearning=True\n\n"
                   "[Table/PrevPage]\n0=Up\n");
        QTest::newRow("key added to its section")
            << QStringLiteral("[Table]\nPageSize=7\n\n[Table/NextPage]\n0=Down\n")
            << QStringLiteral("[Table]\nPageSize=7\nOrderPolicy=No\n\n[Table/NextPage]\n0=Down\n");
        QTest::newRow("section added")
            << QStringLiteral("[Table/NextPage]\n0=Down")
            << QStringLiteral("[Table/NextPage]\n0=Down\n\n[Table]\nOrderPolicy=No\n");
    }
    void onlyTheOrderLineChanges() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(InputMethod::withIniValue(before, "Table", "OrderPolicy", "No"), after);
    }
};

QTEST_GUILESS_MAIN(InputMethodTest)
#include "test_inputmethod.moc"
