// The main window's menu bar on a pupil's desktop: Xvfb with openbox, and fcitx5 with Wubi
// switched on. A lesson closed with Esc leaves its menu open at its command, and the bar's
// keyboard mode answers real X key strokes and shows its highlighted title on the screen.
#include <QMenuBar>
#include <QtTest>

#include "app/cmavro.h"
#include "support/appfixture.h"
#include "support/fcitxservice.h"
#include "support/fixturecourse.h"
#include "support/menustate.h"

using namespace MenuState;

namespace {
FcitxService* service = nullptr;
}  // namespace

class X11MainMenuTest : public QObject {
    Q_OBJECT

    FixtureCourse* course = nullptr;
    AppFixture* app = nullptr;

  private slots:
    void initTestCase() {
        QVERIFY2(service->failure.isEmpty(), qPrintable(service->failure));
        QVERIFY2(QGuiApplication::platformName() == "xcb", "runs on X11 only");
        course = new FixtureCourse;
        course->writeAll();
        app = new AppFixture;
        QVERIFY2(app->errors.isEmpty(), qPrintable(app->errors.join('\n')));
        QVERIFY(showMainWindow());
    }
    void cleanupTestCase() {
        delete app;
        delete course;
    }
    void cleanup() { closeMenus(); }

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
        whenModal([&closed, wubiInDrill] {
            QWidget* drill = QApplication::activeModalWidget();
            // fcitx5 drops the keys that come while it loads its table on first use.
            if (QTest::qWaitForWindowActive(drill) && (!wubiInDrill || FcitxService::wubiActive()))
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
        const QList<QAction*> titles = frmmavro->MainMenu1->actions();
        QVERIFY(!titleShownHighlighted(titles[0]));
        Fcitx::strokes({"alt"});
        QTRY_VERIFY(titleShownHighlighted(titles[0]));
        Fcitx::strokes({"Right"});
        QTRY_VERIFY(titleShownHighlighted(titles[1]));
        QVERIFY(!titleShownHighlighted(titles[0]));
    }

    void keyboardMode_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("end");
        for (const KeyCase& c : keyboardModeCases())
            QTest::newRow(c.keys) << QString::fromLatin1(c.keys) << QString::fromLatin1(c.end);
    }
    void keyboardMode() {
        QFETCH(QString, keys);
        QFETCH(QString, end);
        Fcitx::strokes(keys.split(' '));
        QTRY_COMPARE(bar(), end);
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
        X11MainMenuTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    im.stop();
    return result;
}

#include "x11_mainmenu.moc"
