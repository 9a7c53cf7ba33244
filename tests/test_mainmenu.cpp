// The main window's menu: typed letters and the return keys after a lesson reopen the menu at
// the right command.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "app/cmavro.h"
#include "app/lessoncatalogue.h"
#include "app/menukeys.h"
#include "platform/keysynth.h"
#include "support/appfixture.h"
#include "support/fixturecourse.h"
#include "support/menustate.h"

using namespace MenuState;

class MainMenuTest : public QObject {
    Q_OBJECT

  private:
    FixtureCourse* course = nullptr;
    AppFixture* app = nullptr;

  private slots:
    void initTestCase() {
        course = new FixtureCourse;
        course->writeAll();
        app = new AppFixture;
        QVERIFY(MenuState::showMainWindow());
    }
    void cleanupTestCase() {
        delete app;
        delete course;
    }
    void cleanup() { closeMenus(); }

    void typedLetterOpensFirstMenuAtFirstCommand() {
        QTest::keyClick(frmmavro, Qt::Key_Q);
        QTRY_VERIFY(openMenu() != nullptr);
        QCOMPARE(openMenu()->objectName(), QStringLiteral("N26"));
        QVERIFY(openMenu()->activeAction());
        QCOMPARE(openMenu()->activeAction()->objectName(), QStringLiteral("N27"));
    }

    // The record command comes last in the help menu; no command moves, so every return key
    // sequence still ends where it did.
    void commandsKeepTheirPlaces() {
        const QStringList expected = {
            "N26: N27 B4 C4 - D1 N29 N34",
            "N14: N17 B1 C1 dd1 - A1 B2 C2 J1 - A2 B3 C3 N25 Y1 - N43 O1 N210",
            "N7: N8 N36 T2 - N9 N13 N22 N33 - N38",
            "N1: N11 N21 N31 N41 N51 N61 N71",
            "N3: N12 N4 N32 N42 - N24",
            "X1: S1 F1 - A3 - N44",
        };
        QStringList actual;
        for (QAction* menu : frmmavro->MainMenu1->actions()) {
            QStringList names;
            for (QAction* command : menu->menu()->actions())
                names << (command->isSeparator() ? QStringLiteral("-") : command->objectName());
            actual << menu->objectName() + ": " + names.join(' ');
        }
        QCOMPARE(actual, expected);
        QCOMPARE(frmmavro->MainMenu1->actions().last()->menu()->actions().last()->text(),
                 QStringLiteral("学习记录[&R]"));
    }

    void returnKeysReachCommand_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("menu");
        // First and last of the three lesson menus, and commands after separators.
        for (const char* name : {"N27", "N34", "N17", "N210", "N8", "N38", "N11", "N71", "D1", "A1",
                                 "N9", "N43", "C4", "N12", "N42"}) {
            int m = 0;
            Catalogue::find(QString::fromLatin1(name), &m);
            QTest::newRow(name) << QString::fromLatin1(name) << Catalogue::menus()[m].name;
        }
    }
    void returnKeysReachCommand() {
        QFETCH(QString, command);
        QFETCH(QString, menu);
        int m = 0, i = 0;
        QVERIFY(Catalogue::find(command, &m, &i));
        KeySynth::pressAll(MenuKeys::sequence(m, i));
        QTRY_VERIFY(openMenu() != nullptr);
        QTRY_COMPARE(openMenu()->objectName(), menu);
        QVERIFY(openMenu()->activeAction());
        QCOMPARE(openMenu()->activeAction()->objectName(), command);
    }
};

QTEST_MAIN(MainMenuTest)
#include "test_mainmenu.moc"
