// Work held back at start-up runs once the main window has painted its first frame, in order;
// without start-up holding it, it runs at once.
#include <QtTest>

#include "platform/firstframe.h"

class FirstFrameTest : public QObject {
    Q_OBJECT

  private slots:
    void heldWorkRunsAfterTheFirstPaintInOrder() {
        QStringList ran;
        FirstFrame::hold();
        FirstFrame::after([&] { ran << "icon"; });
        FirstFrame::after([&] { ran << "picture"; });
        QWidget window;
        window.resize(200, 100);
        QCoreApplication::processEvents();
        QVERIFY(ran.isEmpty());
        window.show();
        FirstFrame::releaseAfterPaint(&window);
        QTRY_COMPARE(ran, QStringList({"icon", "picture"}));
        // Once the frame is out, new work no longer waits.
        FirstFrame::after([&] { ran << "later"; });
        QCOMPARE(ran.size(), 3);
    }

    void withoutStartUpWorkRunsAtOnce() {
        bool ran = false;
        FirstFrame::after([&] { ran = true; });
        QVERIFY(ran);
    }
};

QTEST_MAIN(FirstFrameTest)
#include "test_firstframe.moc"
