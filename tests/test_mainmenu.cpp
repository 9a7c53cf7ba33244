// The main window's menu: the six menus as the course lists them, the bar's keyboard mode, and
// typed letters and the return keys after a lesson reopening the menu at the right command.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "app/cmavro.h"
#include "app/lessoncatalogue.h"
#include "app/menukeys.h"
#include "platform/keysynth.h"
#include "support/courseprogram.h"
#include "support/menustate.h"

using namespace MenuState;

namespace {

// A key of xdotool's naming pressed at the main window as the window system delivers it.
void press(const QString& name) {
    static const QHash<QString, Qt::Key> named = {
        {"alt", Qt::Key_Alt},   {"Left", Qt::Key_Left},     {"Right", Qt::Key_Right},
        {"Down", Qt::Key_Down}, {"Return", Qt::Key_Return}, {"Escape", Qt::Key_Escape},
    };
    if (named.contains(name))
        QTest::keyClick(frmmavro->windowHandle(), named[name]);
    else
        QTest::keyClick(frmmavro->windowHandle(), name.at(0).toLatin1());
}

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

    CourseProgram program;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(program.startAtMainWindow()); }
    void cleanup() { closeMenus(); }

    // Item name, caption and shortcut of every title and command; "—" is a separator. The record
    // command comes last in the help menu, 跟打 and 词组 last in 自由练习; no command moves, so
    // every return key sequence still ends where it did.
    void menusListTheCourse() {
        const QList<QStringList> course = {
            {"N26 指法练习[&F]", "N27 基准键[&A]", "B4 上排键[&B]", "C4 下排键[&C]", "—",
             "D1 指法综合练习[&1]", "N29 指法综合练习[&2]", "N34 指法综合练习[&3]"},
            {"N14 字根速记[&Z]",
             "N17 笔划规律[&P]",
             "B1 键名字根[&M]",
             "C1 第一课字根测试[&A]",
             "dd1 第一课文字测试[&F]",
             "—",
             "A1 第一区字根[&O]",
             "B2 第二区字根[&T]",
             "C2 第二课字根测试[&B]",
             "J1 第二课文字测试[&J]",
             "—",
             "A2 第三区字根[&R]",
             "B3 第四区字根[&F]",
             "C3 第五区字根[&E]",
             "N25 第三课字根测试[&C]",
             "Y1 第三课文字测试[&Y]",
             "—",
             "N43 五笔字根总测试[&D]",
             "O1 文字练习[&1]",
             "N210 文字练习[&2]"},
            {"N7 基础练习[&J]", "N8 键名及成字[&A]", "N36 键名成字练习[&P]", "T2 识别码练习[&T]",
             "—", "N9 高频字[&B]", "N13 二级简码[&1]", "N22 二级简码[&2]", "N33 二级简码[&3]", "—",
             "N38 难字拆分练习[&N]"},
            {"N1 课程练习[&D]", "N11 课程练习[&1]", "N21 课程练习[&2]", "N31 课程练习[&3]",
             "N41 课程练习[&4]", "N51 课程练习[&5]", "N61 课程练习[&6]", "N71 课程练习[&7]"},
            {"N3 自由练习[&E]", "N12 文章练习[&1]", "N4 文章练习[&2]", "N32 文章练习[&3]",
             "N42 文章练习[&4]", "—", "N24 自由练习[&R] F5", "G1 跟打练习[&G]", "W1 词组练习[&W]"},
            {"X1 学习帮助[&H]", "S1 背景音乐[&S]", "F1 编码查找[&F] F8", "—", "A3 学习帮助[&A]",
             "—", "N44 学习记录[&R]", "I1 智能练习[&I]", "N45 输入法设置[&M]"},
        };
        const QList<QAction*> titles = frmmavro->MainMenu1->actions();
        QCOMPARE(titles.size(), course.size());
        for (int m = 0; m < titles.size(); ++m) {
            QStringList shown{titles[m]->objectName() + ' ' + titles[m]->text()};
            for (QAction* item : titles[m]->menu()->actions()) {
                QString line = item->isSeparator() ? QStringLiteral("—")
                                                   : item->objectName() + ' ' + item->text();
                if (!item->shortcut().isEmpty())
                    line += ' ' + item->shortcut().toString();
                shown << line;
            }
            QCOMPARE(shown, course[m]);
        }
    }

    void altHighlightsTitleVisibly() { checkAltWalksTheTitles(press); }

    void keyboardMode_data() { addKeyboardModeRows(); }
    void keyboardMode() {
        QFETCH(QString, keys);
        QFETCH(QString, end);
        for (const QString& key : keys.split(' ')) press(key);
        QTRY_COMPARE(bar(), end);
    }

    void typedLetterOpensFirstMenuAtFirstCommand() {
        QTest::keyClick(frmmavro, Qt::Key_Q);
        QTRY_VERIFY(openMenu() != nullptr);
        QCOMPARE(openMenu()->objectName(), QStringLiteral("N26"));
        QVERIFY(openMenu()->activeAction());
        QCOMPARE(openMenu()->activeAction()->objectName(), QStringLiteral("N27"));
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
