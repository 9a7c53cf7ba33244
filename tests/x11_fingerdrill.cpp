// The finger drill on a real X server without a window manager: a page typed as X key strokes,
// the result dialog closed with Enter, the keyboard back in the first box, and the marked key
// shown inverted in the window's real backing store.
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "app/cmavro.h"
#include "drills/CTT.h"
#include "drills/Ctime.h"
#include "support/appfixture.h"
#include "support/fingerpupil.h"
#include "support/fixturecourse.h"
#include "support/menustate.h"

namespace {

bool xdotool(const QStringList& arguments) {
    QProcess process;
    process.start("xdotool", arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

QRgb rgb(QRgb pixel) {
    return qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

}  // namespace

class X11FingerDrillTest : public QObject {
    Q_OBJECT

  private:
    FixtureCourse* course = nullptr;
    AppFixture* app = nullptr;

  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X server");
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is not installed");
        course = new FixtureCourse;
        course->writeAll();
        app = new AppFixture;
        QVERIFY(MenuState::showMainWindow());
    }
    void cleanupTestCase() {
        delete app;
        delete course;
    }

    void pageTypedWithRealKeys() {
        struct Seen {
            bool drill = false, dialog = false, typed = false, keyboardBack = false;
            QString time, line1After;
            QRgb markedPixel = 0, picturePixel = 0;
        } seen;
        FingerPupil::whenModalWindow(frmTT, [&seen] {
            seen.drill = QTest::qWaitForWindowActive(frmTT);
            FingerPupil::whenModalWindow(frmTime, [&seen] {
                seen.dialog = true;
                seen.time = frmTime->Label1->text();
                if (QTest::qWaitForWindowActive(frmTime))
                    xdotool({"key", "Return"});
            });
            const QString keys = frmTT->Label1->text() + frmTT->Label2->text() +
                                 frmTT->Label3->text() + frmTT->Label4->text();
            seen.typed = xdotool({"type", "--delay", "5", keys});
            seen.keyboardBack = QTest::qWaitFor(
                [] { return QApplication::focusWidget() == frmTT->Edit1 && frmTT->PageNo == 2; },
                10000);
            seen.line1After = frmTT->Label1->text();
            // The first key of page 2 is marked: its shape shows the picture inverted.
            const QImage shown = frmTT->grab().toImage();
            const QImage picture = FingerKeyboard::picture().toImage();
            const QPoint centre = frmTT->shapes.first()->geometry().center();
            seen.markedPixel = rgb(shown.pixel(centre));
            seen.picturePixel = rgb(picture.pixel(centre - FingerKeyboard::pictureOrigin));
            xdotool({"key", "Escape"});
        });
        frmmavro->runCommand("N27");

        QVERIFY(seen.drill);
        QVERIFY(seen.typed);
        QVERIFY(seen.dialog);
        QVERIFY(seen.time.startsWith(QStringLiteral("输入时间为:")));
        QVERIFY(seen.keyboardBack);
        QCOMPARE(seen.line1After, FixtureCourse::defaultPracticeRows().at(128));  // row 129
        QCOMPARE(seen.markedPixel,
                 qRgb(255 - qRed(seen.picturePixel), 255 - qGreen(seen.picturePixel),
                      255 - qBlue(seen.picturePixel)));
        QTRY_VERIFY(!frmTT->isVisible());
        QCOMPARE(frmTT->BC1->text(), QString());  // closing reset the records
    }
};

QTEST_MAIN(X11FingerDrillTest)
#include "x11_fingerdrill.moc"
