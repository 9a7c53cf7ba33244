// F8 (code lookup) and F5 (free typing) from the main window: they open their tool from the
// main window, send no menu return keys, and do nothing while a drill is open.
#include <QApplication>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QtTest>

#include "app/cmavro.h"
#include "app/form.h"
#include "drills/CTT.h"
#include "drills/CwbTest1.h"
#include "drills/ctest.h"
#include "support/courseprogram.h"
#include "support/modalrun.h"
#include "tools/CWBFind.h"
#include "tools/Cfree.h"

Q_DECLARE_METATYPE(TForm*)

class ToolShortcutTest : public QObject {
    Q_OBJECT

    CourseProgram program;

    static TForm* toolOf(Qt::Key key) {
        return key == Qt::Key_F8 ? static_cast<TForm*>(frmWBfind) : frmFree;
    }

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(program.startAtMainWindow()); }
    // Each key is pressed as the pupil presses it: at the active main window.
    void init() {
        frmmavro->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frmmavro));
    }

    void keyOpensItsToolFromMainWindow_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("F8 code lookup") << int(Qt::Key_F8);
        QTest::newRow("F5 free typing") << int(Qt::Key_F5);
    }
    void keyOpensItsToolFromMainWindow() {
        QFETCH(int, key);
        TForm* tool = toolOf(Qt::Key(key));
        QWidget* shown = nullptr;
        whenModal([&] {
            shown = QApplication::activeModalWidget();
            shown->close();
        });
        QTest::keyClick(frmmavro, Qt::Key(key));
        QCOMPARE(shown, tool);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        // No return keys: no menu opens after the tool closes.
        QTest::qWait(100);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QVERIFY(frmmavro->MainMenu1->activeAction() == nullptr ||
                !frmmavro->MainMenu1->activeAction()->menu()->isVisible());
    }

    // Control for the test below: a key pressed there does reach the shortcuts of the active
    // window, so the absence of the tool means the main window's command was not run.
    void keyAtOpenDrillReachesShortcuts() {
        QShortcut probe(QKeySequence(Qt::Key_F9), frmTest);
        int activated = 0;
        connect(&probe, &QShortcut::activated, [&] { ++activated; });
        const bool ran = runWhileModal([] { return frmTest->ShowModal(); }, frmTest,
                                       [&] {
                                           QTRY_COMPARE(QApplication::activeWindow(), frmTest);
                                           QWidget* target = QApplication::focusWidget()
                                                                 ? QApplication::focusWidget()
                                                                 : frmTest;
                                           QTest::keyClick(target, Qt::Key_F9);
                                       });
        QVERIFY(ran);
        QCOMPARE(activated, 1);
    }

    void keysDoNothingWhileDrillIsOpen_data() {
        QTest::addColumn<TForm*>("drill");
        QTest::addColumn<int>("key");
        for (int key : {int(Qt::Key_F8), int(Qt::Key_F5)}) {
            const QByteArray k = key == Qt::Key_F8 ? "F8" : "F5";
            QTest::newRow("text drill " + k) << static_cast<TForm*>(frmTest) << key;
            QTest::newRow("root drill " + k) << static_cast<TForm*>(frmwbTest1) << key;
            QTest::newRow("finger drill " + k) << static_cast<TForm*>(frmTT) << key;
        }
    }
    void keysDoNothingWhileDrillIsOpen() {
        QFETCH(TForm*, drill);
        QFETCH(int, key);
        TForm* tool = toolOf(Qt::Key(key));
        bool toolOpened = false;
        // Should the tool open anyway, close it so the test ends and reports the fault.
        QTimer guard;
        connect(&guard, &QTimer::timeout, [&] {
            if (tool->isVisible()) {
                toolOpened = true;
                tool->close();
            }
        });
        guard.start(20);
        const bool ran = runWhileModal(
            [drill] { return drill->ShowModal(); }, drill,
            [&] {
                QTRY_COMPARE(QApplication::activeWindow(), drill);
                QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : drill;
                QTest::keyClick(target, Qt::Key(key));
                QTest::qWait(100);
                QCOMPARE(QApplication::activeModalWidget(), drill);
            });
        QVERIFY(ran);
        QVERIFY(!toolOpened);
        QVERIFY(!tool->isVisible());
    }
};

QTEST_MAIN(ToolShortcutTest)
#include "test_codelookup_shortcuts.moc"
