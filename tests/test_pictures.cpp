// The pictures compiled into the program are the ones the painting code draws, at their sizes, for
// ordinary screens and for screens of twice the density.
#include <QtTest>

#include "resources/paint/painted.h"
#include "resources/pictures.h"

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
};

QTEST_MAIN(PicturesTest)
#include "test_pictures.moc"
