// The six finger lesson commands: each hands the drill its lesson, and closing the drill leaves
// the menu open at the command.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "app/cmavro.h"
#include "drills/CTT.h"
#include "support/courseprogram.h"
#include "support/fingerpupil.h"
#include "support/menustate.h"

using namespace FingerPupil;

using namespace MenuState;

class FingerMenuTest : public QObject {
    Q_OBJECT

    CourseProgram program;

    // What the pupil saw in the drill, then Esc.
    struct Visit {
        bool shown = false;
        QString mainLabel1, firstLine, lastLine;
    };
    // Looks at the drill once it is up, then leaves with Esc.
    Visit seen;
    void lookThenEsc() {
        seen = Visit();
        whenModalWindow(frmTT, [this] {
            seen.shown = QTest::qWaitForWindowActive(frmTT);
            seen.mainLabel1 = frmmavro->Label1->text();
            seen.firstLine = frmTT->Label1->text();
            seen.lastLine = frmTT->Label4->text();
            press(Qt::Key_Escape);
        });
    }

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(program.startAtMainWindow()); }
    void cleanup() { closeMenus(); }

    void commandOpensItsLessonAndReturnsToTheMenu_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("s");
        QTest::newRow("基准键") << "N27" << 124;
        QTest::newRow("上排键") << "B4" << 136;
        QTest::newRow("下排键") << "C4" << 148;
        QTest::newRow("指法综合练习1") << "D1" << 160;
        QTest::newRow("指法综合练习2") << "N29" << 172;
        QTest::newRow("指法综合练习3") << "N34" << 184;
    }
    void commandOpensItsLessonAndReturnsToTheMenu() {
        QFETCH(QString, command);
        QFETCH(int, s);
        frmmavro->Label2->setText("6");  // a text lesson's count, left alone
        lookThenEsc();
        QAction* item = frmmavro->MainMenu1->findChild<QAction*>(command);
        QVERIFY(item);
        item->trigger();

        QVERIFY(seen.shown);
        const QList<QString> rows = FixtureCourse::defaultPracticeRows();
        QCOMPARE(seen.mainLabel1, QString::number(s));
        QCOMPARE(seen.firstLine, rows.at(s));  // row S + 1
        QCOMPARE(seen.lastLine, rows.at(s + 3));
        QCOMPARE(frmmavro->Label2->text(), QStringLiteral("6"));
        QTRY_VERIFY(openMenu() != nullptr);
        QCOMPARE(openMenu()->objectName(), QStringLiteral("N26"));
        QTRY_VERIFY(openMenu()->activeAction());
        QTRY_COMPARE(openMenu()->activeAction()->objectName(), command);
    }

    void typedLetterThenEnterStartsTheHomeKeys() {
        lookThenEsc();
        QTest::keyClick(frmmavro, Qt::Key_J);
        QTRY_VERIFY(openMenu() != nullptr);
        QTRY_VERIFY(openMenu()->activeAction());
        QCOMPARE(openMenu()->activeAction()->text(), QStringLiteral("基准键[&A]"));
        QTest::keyClick(openMenu(), Qt::Key_Return);

        QTRY_VERIFY(seen.shown);
        QCOMPARE(seen.firstLine, FixtureCourse::defaultPracticeRows().at(124));
        QTRY_VERIFY(openMenu() != nullptr);
        QTRY_VERIFY(openMenu()->activeAction());
        QTRY_COMPARE(openMenu()->activeAction()->objectName(), QStringLiteral("N27"));
    }
};

QTEST_MAIN(FingerMenuTest)
#include "test_fingerdrill_menu.moc"
