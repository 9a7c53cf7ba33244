// Start-up: the nine windows in their order, their placement, and a missing data directory.
#include <QtTest>

#include "app/cmavro.h"
#include "app/windows.h"
#include "drills/CTT.h"
#include "drills/Ctime.h"
#include "drills/CwbTest1.h"
#include "drills/ctest.h"
#include "media/CSound.h"
#include "media/CWeb.h"
#include "platform/hotkeys.h"
#include "platform/screen.h"
#include "support/appfixture.h"
#include "support/fixturecourse.h"
#include "tools/CWBFind.h"
#include "tools/Cfree.h"

class StartupTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { Screen::setSizeOverride(QSize()); }

    void createsNineWindowsInOrderAndShowsOnlyTheMainWindow() {
        FixtureCourse course;
        course.writeAll();
        AppFixture app;
        QCOMPARE(creationOrder(),
                 (QStringList{"frmmavro", "frmWBfind", "frmWeb", "frmTime", "frmTT", "frmwbTest1",
                              "frmTest", "frmFree", "frmSound"}));
        QVERIFY2(app.errors.isEmpty(), qPrintable(app.errors.join('\n')));
        QVERIFY(frmTest->Table1.Active() && frmTest->Table2.Active());
        QVERIFY(frmTT->Table1.Active() && frmwbTest1->Table1.Active() &&
                frmWBfind->Table1.Active());
        QVERIFY(HotKeys::isRegistered(frmwbTest1, 112));
        QVERIFY(HotKeys::isRegistered(frmTest, 113));
        // The tables open through the cipher code built into the program: neither OpenSSL nor a
        // system SQLCipher is mapped.
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(mapped.contains("libQt6Core"));
        QVERIFY(!mapped.contains("libcrypto") && !mapped.contains("libsqlcipher"));

        frmmavro->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmmavro));
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != frmmavro && window->isWindow() && window->isVisible())
                QFAIL(qPrintable("unexpected window shown: " + window->objectName()));
        QCOMPARE(frmmavro->Label1->text(), QStringLiteral("1"));
        QCOMPARE(frmmavro->Label2->text(), QStringLiteral("8"));
        QCOMPARE(frmmavro->Label3->text(), QString());
        QVERIFY(frmmavro->Label1->isHidden());
        QCOMPARE(frmmavro->MainMenu1->actions().size(), 6);
    }

    void missingDataDirectoryReportsTheTableWindowsAndGoesOn() {
        QTemporaryDir emptyDrive;
        qputenv("QORVEX_DRIVE", emptyDrive.path().toLocal8Bit());
        AppFixture app;
        qunsetenv("QORVEX_DRIVE");
        // The code lookup, the finger drill, the root drill and the text drill open tables.
        QCOMPARE(app.errors.size(), 4);
        for (const QString& error : app.errors)
            QVERIFY2(error.contains("找不到文件夹"), qPrintable(error));
        QVERIFY(app.errors[0].contains("kzWb.DB"));
        QVERIFY(app.errors[1].contains("111.DB"));
        QVERIFY(app.errors[2].contains("wb1.db"));
        QVERIFY(app.errors[3].contains("111.DB"));
        // The failing creation handlers stopped before their hot keys; every window exists.
        QVERIFY(!HotKeys::isRegistered(frmwbTest1, 112));
        QVERIFY(!HotKeys::isRegistered(frmTest, 113));
        QCOMPARE(creationOrder().size(), 9);
        QVERIFY(frmSound && frmFree);
        frmmavro->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmmavro));
        // A window whose table is closed reports the engine's error when it is used.
        QVERIFY(!frmTT->Table1.Active());
    }

    void placement_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QPoint>("standard");
        QTest::addColumn<QPoint>("result");
        QTest::newRow("1024x768") << QSize(1024, 768) << QPoint(112, 84) << QPoint(319, 183);
        QTest::newRow("640x480") << QSize(640, 480) << QPoint(-80, -60) << QPoint(127, 87);
    }
    void placement() {
        QFETCH(QSize, screen);
        QFETCH(QPoint, standard);
        QFETCH(QPoint, result);
        Screen::setSizeOverride(screen);
        FixtureCourse course;
        course.writeAll();
        AppFixture app;
        QCOMPARE(frmmavro->outerGeometry(), QRect(standard, QSize(800, 575)));
        for (TForm* drill :
             std::initializer_list<TForm*>{frmTest, frmTT, frmwbTest1, frmFree, frmWeb})
            QCOMPARE(drill->outerGeometry(), QRect(standard, QSize(800, 575)));
        QCOMPARE(frmTime->outerGeometry().topLeft(), result);
        QCOMPARE(frmSound->outerGeometry().topLeft(),
                 QPoint((screen.width() - 499) / 2, (screen.height() - 290) / 2));
        // The title picture: 163 from the left, 68 from the top of the window.
        QCOMPARE(frmmavro->Image1->pos(), QPoint(163, 68));
        QCOMPARE(frmmavro->Image1->size(), QSize(473, 369));
        QCOMPARE(frmmavro->Image1->pixmap().size(), QSize(483, 374));
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
