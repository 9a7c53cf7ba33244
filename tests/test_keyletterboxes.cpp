// The boxes that take key letters, not Chinese: the root drill's answer boxes, the finger
// drill's typing boxes and the code lookup's code box. An input method asks the focused box
// whether it takes compositions before it keeps any key for itself; each of these says no, and
// a commit that arrives anyway leaves the box as it was.
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QtTest>

#include "drills/CTT.h"
#include "drills/CwbTest1.h"
#include "support/courseprogram.h"
#include "tools/CWBFind.h"

class KeyLetterBoxesTest : public QObject {
    Q_OBJECT

    CourseProgram program;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(program.start()); }

    void boxRefusesTheInputMethod_data() {
        QTest::addColumn<QLineEdit*>("box");
        QTest::addColumn<QString>("typed");  // what the box holds when the commit comes
        QTest::newRow("root answer box") << static_cast<QLineEdit*>(frmwbTest1->E[5]) << "G";
        QTest::newRow("finger box") << static_cast<QLineEdit*>(frmTT->Edit3) << "as";
        QTest::newRow("code box") << frmWBfind->Edit2 << "tf";
    }
    void boxRefusesTheInputMethod() {
        QFETCH(QLineEdit*, box);
        QFETCH(QString, typed);
        box->setText(typed);

        QInputMethodQueryEvent query(Qt::ImEnabled);
        QCoreApplication::sendEvent(box, &query);
        QCOMPARE(query.value(Qt::ImEnabled), QVariant(false));

        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("地"));
        QCoreApplication::sendEvent(box, &commit);
        QCOMPARE(box->text(), typed);
        box->clear();
    }
};

QTEST_MAIN(KeyLetterBoxesTest)
#include "test_keyletterboxes.moc"
