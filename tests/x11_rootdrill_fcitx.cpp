// The root drill's answer boxes take key letters past the input method: under Xvfb with fcitx5
// running its Wubi table for every window, letters typed on the X keyboard land in the boxes as
// letters, where a box that took the input method would have them swallowed into a Wubi code.
// Closed with Esc, the drill leaves the menu open at its command. F1 is grabbed on the X server and
// works with no window of the program shown.
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

#include "app/cmavro.h"
#include "drills/Ctime.h"
#include "drills/CwbTest1.h"
#include "support/fcitxservice.h"
#include "support/menustate.h"
#include "support/rootpupil.h"
#include "support/wubidesktop.h"

using namespace RootPupil;

namespace {
QString lower(const QString& key) {
    return key.toLower();
}
}  // namespace

class RootDrillFcitxTest : public QObject {
    Q_OBJECT

    WubiDesktop desktop;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(desktop.start()); }
    void cleanup() { Fcitx::logIfFailed(); }

    // Opened from the menu as "键名字根[&M]"; Esc ends with that command highlighted again.
    void keyLettersReachTheBoxesWhileWubiIsOn() {
        const Fcitx::ContextWatch context;
        const auto pupil = [&context] {
            QVERIFY(context.await());
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
        };
        whenShown(frmwbTest1, [&pupil] {
            pupil();
            if (frmwbTest1->isVisible())
                frmwbTest1->close();  // a failed step left it open
        });
        frmmavro->runCommand("B1");
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY(MenuState::openMenu());
        QCOMPARE(MenuState::openMenu()->objectName(), QStringLiteral("N14"));
        QTRY_VERIFY(MenuState::openMenu()->activeAction());
        QTRY_COMPARE(MenuState::openMenu()->activeAction()->objectName(), QStringLiteral("B1"));
        MenuState::closeMenus();
    }

    // F1 belongs to the drill for the whole run: pressed while no window of the program is
    // shown, it still steps the chart and hint through their cycle.
    void f1StepsTheChartWhileTheDrillIsClosed() {
        frmmavro->hide();
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
    return Fcitx::exec(argc, argv, [] { return new RootDrillFcitxTest; });
}

#include "x11_rootdrill_fcitx.moc"
