// Work held back at start-up runs once the main window has painted its first frame, in order;
// a window shown before then gets it first; without start-up holding it, it runs at once.
#include <QLabel>
#include <QtTest>

#include "app/form.h"
#include "platform/firstframe.h"

namespace {
// Whether new work runs at once, that is, start-up holds nothing back any more. What it queues
// outlives the test, so the probe may be called while work is still held.
bool workRunsAtOnce() {
    static bool ran;
    ran = false;
    FirstFrame::after([] { ran = true; });
    return ran;
}
}  // namespace

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

    // A pupil who opens a drill before the main window's frame is out still sees it whole: the
    // window does its held work before it shows, the main window's own showing does not.
    void aWindowShownWhileWorkIsHeldGetsItFirst() {
        QStringList ran;
        FirstFrame::hold();
        QWidget mainWindow;
        mainWindow.resize(200, 100);
        TForm drill;
        QFont small = drill.font();
        small.setPixelSize(11);
        FirstFrame::setFont(&drill, small);
        auto* line = new QLabel(QStringLiteral("字根练习"), &drill);
        QFont big = line->font();
        big.setPixelSize(40);
        FirstFrame::setFont(line, big, FirstFrame::Fit::ToText);
        // A style sheet fixes the font its widget has when it comes: it comes after the fonts.
        auto* note = new QLabel(QStringLiteral("提示"), &drill);
        FirstFrame::setStyleSheet(note, QStringLiteral("color: navy;"));
        FirstFrame::after([&] { ran << "picture"; });
        mainWindow.show();
        QVERIFY(ran.isEmpty());
        QVERIFY(line->font().pixelSize() != 40);

        drill.show();
        QCOMPARE(ran, QStringList{"picture"});
        QCOMPARE(line->font().pixelSize(), 40);
        QCOMPARE(note->font().pixelSize(), 11);
        QCOMPARE(line->size(), line->sizeHint());
        QVERIFY(line->height() >= 40);

        // Work held after the showing still waits for the main window's frame.
        FirstFrame::after([&] { ran << "icon"; });
        QCOMPARE(ran.size(), 1);
        FirstFrame::releaseAfterPaint(&mainWindow);
        QTRY_COMPARE(ran, QStringList({"picture", "icon"}));
        QTRY_VERIFY(workRunsAtOnce());
    }

    void withoutStartUpWorkRunsAtOnce() {
        bool ran = false;
        FirstFrame::after([&] { ran = true; });
        QVERIFY(ran);
    }
};

QTEST_MAIN(FirstFrameTest)
#include "test_firstframe.moc"
