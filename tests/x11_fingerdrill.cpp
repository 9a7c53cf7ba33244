// The finger drill on a real desktop, Xvfb with openbox and fcitx5's Wubi switched on: a page
// typed as X key strokes, a wrong letter among them, reaches the boxes as letters, not as Wubi
// codes; the result dialog closes with Enter, the keyboard is back in the first box, the marked
// key shows inverted in the window's real backing store, and Esc leaves the menu open at the
// command.
#include <QMenu>
#include <QProcess>
#include <QtTest>

#include "app/cmavro.h"
#include "drills/CTT.h"
#include "drills/Ctime.h"
#include "support/fcitxservice.h"
#include "support/fingerpupil.h"
#include "support/menustate.h"
#include "support/wubidesktop.h"

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

    WubiDesktop desktop;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(desktop.start()); }
    void cleanup() { Fcitx::logIfFailed(); }

    void pageTypedWithRealKeys() {
        struct Seen {
            bool drill = false, wrongSelected = false, dialog = false, typed = false;
            bool keyboardBack = false, closedByEsc = false;
            QString time, line1After, box1;
            QRgb markedPixel = 0, picturePixel = 0;
        } seen;
        const Fcitx::ContextWatch context;
        FingerPupil::whenModalWindow(frmTT, [&seen, &context] {
            seen.drill = QTest::qWaitForWindowActive(frmTT) && context.await();
            FingerPupil::whenModalWindow(frmTime, [&seen] {
                seen.dialog = true;
                seen.time = frmTime->Label1->text();
                if (QTest::qWaitForWindowActive(frmTime))
                    xdotool({"key", "Return"});
            });
            const QString keys = frmTT->Label1->text() + frmTT->Label2->text() +
                                 frmTT->Label3->text() + frmTT->Label4->text();
            // A wrong letter first: it is selected, and the right one typed over it.
            const QString wrong = keys.startsWith('j') ? "k" : "j";
            seen.typed = xdotool({"type", wrong});
            seen.wrongSelected = QTest::qWaitFor([] { return frmTT->Edit1->hasSelectedText(); });
            seen.box1 = frmTT->Edit1->text();
            seen.typed = seen.typed && xdotool({"type", "--delay", "5", keys});
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
            seen.closedByEsc = QTest::qWaitFor([] { return !frmTT->isVisible(); }, 5000);
            if (!seen.closedByEsc)
                frmTT->close();
        });
        frmmavro->runCommand("N27");

        QVERIFY(seen.drill);
        QVERIFY(seen.typed);
        QVERIFY2(seen.wrongSelected, qPrintable("box 1 holds \"" + seen.box1 + '"'));
        QVERIFY(seen.dialog);
        QVERIFY(seen.time.startsWith(QStringLiteral("输入时间为:")));
        QVERIFY(seen.keyboardBack);
        QCOMPARE(seen.line1After, FixtureCourse::defaultPracticeRows().at(128));  // row 129
        QCOMPARE(seen.markedPixel,
                 qRgb(255 - qRed(seen.picturePixel), 255 - qGreen(seen.picturePixel),
                      255 - qBlue(seen.picturePixel)));
        QVERIFY(seen.closedByEsc);
        QCOMPARE(frmTT->BC1->text(), QString());  // closing reset the records
        QTRY_VERIFY(MenuState::openMenu());
        QCOMPARE(MenuState::openMenu()->objectName(), QStringLiteral("N26"));
        QTRY_VERIFY(MenuState::openMenu()->activeAction());
        QTRY_COMPARE(MenuState::openMenu()->activeAction()->objectName(), QStringLiteral("N27"));
        MenuState::closeMenus();
    }
};

int main(int argc, char** argv) {
    return Fcitx::exec(argc, argv, [] { return new X11FingerDrillTest; });
}

#include "x11_fingerdrill.moc"
