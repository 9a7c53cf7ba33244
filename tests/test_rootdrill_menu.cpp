// The eleven root commands of "字根速记[&Z]": each hands its range to the root drill, shows it, and
// after Esc the menu is open again with the command highlighted.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "app/cmavro.h"
#include "app/lessoncatalogue.h"
#include "drills/CwbTest1.h"
#include "support/courseprogram.h"
#include "support/menustate.h"
#include "support/rootpupil.h"

using namespace RootPupil;

using namespace MenuState;

class RootDrillMenuTest : public QObject {
    Q_OBJECT

    CourseProgram program;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(program.startAtMainWindow()); }
    void cleanup() {
        closeMenus();
        VERIFY_NO_FAULT(program.errorText());
    }

    void rootCommandShowsItsLessonAndReturnsToItsMenu_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("caption");
        const struct {
            const char* name;
            int size, start;
            const char* caption;
        } rows[] = {
            {"N17", 31, 0, "Tarvelle---->笔划规律测试"},
            {"B1", 25, 31, "Tarvelle---->键名字根测试"},
            {"C1", 56, 0, "Tarvelle---->一级字根测试"},
            {"A1", 37, 56, "Tarvelle---->第一区字根测试"},
            {"B2", 37, 93, "Tarvelle---->第二区字根测试"},
            {"C2", 74, 56, "Tarvelle---->二级字根测试"},
            {"A2", 46, 130, "Tarvelle---->第三区字根测试"},
            {"B3", 40, 176, "Tarvelle---->第四区字根测试"},
            {"C3", 40, 216, "Tarvelle---->第五区字根测试"},
            {"N25", 126, 130, "Tarvelle---->三级字根测试"},
            {"N43", 256, 0, "Tarvelle---->五笔字根总测试"},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << QString::fromLatin1(row.name) << row.size << row.start
                                    << QString::fromUtf8(row.caption);
    }
    void rootCommandShowsItsLessonAndReturnsToItsMenu() {
        QFETCH(QString, command);
        QFETCH(int, size);
        QFETCH(int, start);
        QFETCH(QString, caption);
        QString range, title;
        QList<int> records;
        whenShown(frmwbTest1, [&] {
            range = frmwbTest1->JB1->text() + ',' + frmwbTest1->JB2->text();
            title = frmwbTest1->windowTitle();
            for (int i = 1; i <= 28; ++i) records << recordOf(i);
            QTest::keyClick(frmwbTest1->focusWidget(), Qt::Key_Escape);
        });
        QAction* item = frmmavro->findChild<QAction*>(command);
        QVERIFY(item);
        item->trigger();
        QVERIFY(!frmwbTest1->isVisible());
        QCOMPARE(range, QStringLiteral("%1,%2").arg(size).arg(start));
        QCOMPARE(title, caption);
        QCOMPARE(records.size(), 28);
        for (int k : records)
            QVERIFY2(k >= start && k < start + size, qPrintable(QString::number(k)));

        QTRY_VERIFY(openMenu() != nullptr);
        QCOMPARE(openMenu()->objectName(), QStringLiteral("N14"));
        QVERIFY(openMenu()->activeAction());
        QCOMPARE(openMenu()->activeAction()->objectName(), command);
    }
};

QTEST_MAIN(RootDrillMenuTest)
#include "test_rootdrill_menu.moc"
