// The main window's menu bar on a pupil's desktop: Xvfb with openbox, and fcitx5 with Wubi
// switched on. A lesson closed with Esc leaves its menu open at its command, and the bar's
// keyboard mode answers real X key strokes and shows its highlighted title on the screen.
#include <QMenuBar>
#include <QtTest>

#include "app/cmavro.h"
#include "support/fcitxservice.h"
#include "support/menustate.h"
#include "support/wubidesktop.h"

using namespace MenuState;

class X11MainMenuTest : public QObject {
    Q_OBJECT

    WubiDesktop desktop;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(desktop.start()); }
    void cleanup() {
        closeMenus();
        Fcitx::logIfFailed();
    }

    // Wubi, switched on in the text drill's box, stays on for every window afterwards.
    void lessonClosedWithEscReopensItsCommand_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("wubiInDrill");
        QTest::addColumn<QString>("end");
        QTest::newRow("text lesson past two separators") << "N38" << true << "N7>N38";
        QTest::newRow("finger lesson") << "N34" << false << "N26>N34";
    }
    void lessonClosedWithEscReopensItsCommand() {
        QFETCH(QString, command);
        QFETCH(bool, wubiInDrill);
        QFETCH(QString, end);
        bool closed = false;
        const Fcitx::ContextWatch context;
        whenModal([&closed, &context, wubiInDrill] {
            QWidget* drill = QApplication::activeModalWidget();
            // Keys typed before fcitx5 holds the drill's input context pass it by.
            if (QTest::qWaitForWindowActive(drill) && context.await() &&
                (!wubiInDrill || QTest::qWaitFor(FcitxService::wubiActive, 10000)))
                for (int attempt = 0; attempt < 10 && !closed; ++attempt) {
                    Fcitx::strokes({"Escape"});
                    closed = QTest::qWaitFor([drill] { return !drill->isVisible(); }, 1000);
                }
            if (drill->isVisible())
                drill->close();
        });
        frmmavro->runCommand(command);
        QVERIFY2(closed, "Esc did not close the drill");
        QTRY_COMPARE(bar(), end);
    }

    void altHighlightsTitleOnScreen() {
        checkAltWalksTheTitles([](const QString& key) { Fcitx::strokes({key}); });
    }

    void keyboardMode_data() { addKeyboardModeRows(); }
    void keyboardMode() {
        QFETCH(QString, keys);
        QFETCH(QString, end);
        Fcitx::strokes(keys.split(' '));
        QTRY_COMPARE(bar(), end);
    }
};

int main(int argc, char** argv) {
    return Fcitx::exec(argc, argv, [] { return new X11MainMenuTest; });
}

#include "x11_mainmenu.moc"
