// The root drill's answer boxes take key letters past the input method: under Xvfb with fcitx5
// running its Wubi table for every window, letters typed on the X keyboard land in the boxes as
// letters, where a box that took the input method would have them swallowed into a Wubi code.
// F1 is grabbed on the X server and works with no window of the program shown.
#include <QInputMethod>
#include <QLineEdit>
#include <QtTest>

#include "drills/Ctime.h"
#include "drills/CwbTest1.h"
#include "support/appfixture.h"
#include "support/fcitxservice.h"
#include "support/fixturecourse.h"
#include "support/rootpupil.h"

using namespace RootPupil;

namespace {
FcitxService* service = nullptr;

QString lower(const QString& key) {
    return key.toLower();
}

}  // namespace

class RootDrillFcitxTest : public QObject {
    Q_OBJECT

    FixtureCourse* course = nullptr;
    AppFixture* app = nullptr;

    // fcitx5 loads the Wubi table on first use, and keys typed meanwhile are lost; type into a
    // box of our own until a code gives its character.
    void warmUp() {
        QLineEdit scratch;
        scratch.show();
        scratch.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&scratch));
        QTRY_VERIFY(scratch.hasFocus());
        QTRY_VERIFY_WITH_TIMEOUT(FcitxService::wubiActive(), 10000);
        for (int attempt = 0; attempt < 40 && !scratch.text().contains(QStringLiteral("地"));
             ++attempt) {
            Fcitx::strokes({"f", "space"});
            QTest::qWait(500);
        }
        QVERIFY2(scratch.text().contains(QStringLiteral("地")),
                 qPrintable("Wubi gave no characters: " + scratch.text() + "\nfcitx5 log:\n" +
                            service->log()));
        // A box that takes the input method gets no letter: Wubi keeps it as a code.
        scratch.clear();
        Fcitx::strokes({"g"});
        QTest::qWait(800);
        QVERIFY2(scratch.text().isEmpty(), qPrintable(scratch.text()));
        Fcitx::strokes({"space"});
        QTRY_COMPARE(scratch.text(), QStringLiteral("一"));
    }

  private slots:
    void initTestCase() {
        QVERIFY2(service->failure.isEmpty(), qPrintable(service->failure));
        QVERIFY2(QGuiApplication::platformName() == "xcb", "runs on X11 only");
        warmUp();
        course = new FixtureCourse;
        course->writeAll();
        app = new AppFixture;
        QVERIFY2(app->errors.isEmpty(), qPrintable(app->errors.join('\n')));
    }
    void cleanupTestCase() {
        delete app;
        delete course;
    }

    void keyLettersReachTheBoxesWhileWubiIsOn() {
        showDrill(25, 31, [] {
            QTRY_VERIFY(frmwbTest1->E[1]->hasFocus());
            QLineEdit* box1 = frmwbTest1->E[1];

            // The letter goes straight in and is checked.
            Fcitx::strokes({lower(keyOf(1))});
            QTRY_COMPARE(box1->text(), keyOf(1));
            QTRY_COMPARE(focusedBox(), 2);
            Fcitx::strokes({"z"});
            QTRY_COMPARE(frmwbTest1->E[2]->text(), QStringLiteral("Z"));
            QCOMPARE(frmwbTest1->E[2]->palette().color(QPalette::Text), QColor(255, 0, 0));
            Fcitx::strokes({lower(keyOf(2))});
            QTRY_COMPARE(frmwbTest1->E[2]->text(), keyOf(2));
            QTRY_COMPARE(focusedBox(), 3);

            // The rest of the page in one go; box 28 finishes it without errors.
            bool errorShown = true;
            whenShown(frmTime, [&errorShown] {
                errorShown = frmTime->Label3->isVisible();
                Fcitx::strokes({"Return"});
            });
            QStringList rest;
            for (int i = 3; i <= 28; ++i) rest << lower(keyOf(i));
            Fcitx::strokes(rest);
            QTRY_VERIFY(!errorShown);
            QTRY_VERIFY(frmwbTest1->E[1]->hasFocus());
            QCOMPARE(frmwbTest1->windowTitle(), QStringLiteral("键名字根测试"));

            // Esc reaches the drill, not the input method, and closes it.
            Fcitx::strokes({"Escape"});
            QTRY_VERIFY(!frmwbTest1->isVisible());
        });
        if (QTest::currentTestFailed())
            qWarning().noquote() << "fcitx5 log:\n" << service->log();
    }

    // F1 belongs to the drill for the whole run: pressed while no window of the program is
    // shown, it still steps the chart and hint through their cycle.
    void f1StepsTheChartWhileTheDrillIsClosed() {
        QVERIFY(!frmwbTest1->isVisible());
        QVERIFY(!frmwbTest1->Image1->isHidden());
        QVERIFY(!frmwbTest1->TT->isHidden());
        Fcitx::strokes({"F1"});
        QTRY_VERIFY(frmwbTest1->Image1->isHidden());
        QVERIFY(!frmwbTest1->TT->isHidden());
        Fcitx::strokes({"F1"});
        QTRY_VERIFY(frmwbTest1->TT->isHidden());
        Fcitx::strokes({"F1"});
        QTRY_VERIFY(!frmwbTest1->Image1->isHidden());
        QVERIFY(!frmwbTest1->TT->isHidden());
    }
};

int main(int argc, char** argv) {
    FcitxService im;
    service = &im;
    if (im.start())
        qputenv("QT_IM_MODULE", "fcitx");
    int result = 1;
    {
        QApplication app(argc, argv);
        RootDrillFcitxTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    im.stop();
    return result;
}

#include "x11_rootdrill_fcitx.moc"
