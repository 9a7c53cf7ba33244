// The pictures compiled into the program are the ones the painting code draws, at their sizes, for
// ordinary screens and for screens of twice the density; the root pictures of the tables come
// sharp on either.
#include <QtTest>

#include "course/builder/rootpictures.h"
#include "course/builder/roottable.h"
#include "drills/CwbTest1.h"
#include "drills/ctest.h"
#include "resources/paint/painted.h"
#include "resources/pictures.h"
#include "support/courseprogram.h"
#include "support/modalrun.h"

class PicturesTest : public QObject {
    Q_OBJECT
  private slots:
    void titlePictureIsThePaintedOne() {
        const QImage compiled = Pictures::titlePicture().toImage();
        QCOMPARE(compiled.size(), QSize(483, 374));
        QCOMPARE(compiled.convertToFormat(QImage::Format_RGB32),
                 Painted::titlePicture().convertToFormat(QImage::Format_RGB32));
    }
    void titlePictureAtTwiceTheDensity() {
        const QPixmap dense = Pictures::titlePicture(2);
        QCOMPARE(dense.deviceIndependentSize().toSize(), QSize(483, 374));
        QCOMPARE(dense.size(), QSize(966, 748));
        QCOMPARE(dense.toImage().convertToFormat(QImage::Format_RGB32),
                 Painted::titlePicture(2).convertToFormat(QImage::Format_RGB32));
    }
    void resultPictureFitsItsFrame() {
        for (qreal ratio : {1.0, 2.0}) {
            const QPixmap picture = Pictures::resultPicture(QSize(137, 161), ratio);
            QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(137, 161));
            QCOMPARE(picture.size(), QSize(137, 161) * ratio);
            // The red ribbon that carries "成绩" ends above the bottom edge, not cut off by it.
            const QImage image = picture.toImage();
            int ribbonBottom = -1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = QColor::fromRgba(image.pixel(x, y));
                    if (c.alpha() == 255 && c.red() > 150 && c.green() < 80 && c.blue() < 80)
                        ribbonBottom = y;
                }
            QVERIFY(ribbonBottom > image.height() / 2);
            QVERIFY2(ribbonBottom < image.height() - 2, qPrintable(QString::number(ribbonBottom)));
        }
    }
    // Run again at QT_SCALE_FACTOR=2: the text drill's hint and the root drill's items show the
    // tables' root pictures with every stored pixel there, and scaled down on an ordinary screen.
    void rootPicturesAtTheScreensDensity() {
        CourseProgram program;
        VERIFY_NO_FAULT(program.start([](FixtureCourse& course) {
            course.writeCodeTable({{"工", "a", "aaaa", {RootPictures::stored("工")}}});
            QList<FixtureCourse::Root> roots = FixtureCourse::defaultRoots();
            for (FixtureCourse::Root& root : roots) root.picture = RootTable::picture("一");
            course.writeRootTable(roots);
        }));
        const bool dense = qApp->devicePixelRatio() == 2;
        QPixmap hint, item;
        QVERIFY(runWhileModal([] { return frmTest->ShowLines({"工工"}); }, frmTest,
                              [&] { hint = frmTest->images[0]->pixmap(); }));
        frmwbTest1->JB1->setText("25");
        frmwbTest1->JB2->setText("31");
        QVERIFY(runWhileModal([] { return frmwbTest1->ShowModal(); }, frmwbTest1,
                              [&] { item = frmwbTest1->p[1]->pixmap(); }));
        QCOMPARE(hint.size(), dense ? QSize(150, 150) : QSize(75, 75));
        QCOMPARE(hint.devicePixelRatio(), dense ? 2.0 : 1.0);
        QCOMPARE(item.size(), dense ? QSize(36, 36) : QSize(18, 18));
        QCOMPARE(item.devicePixelRatio(), dense ? 2.0 : 1.0);
    }
};

QTEST_MAIN(PicturesTest)
#include "test_pictures.moc"
