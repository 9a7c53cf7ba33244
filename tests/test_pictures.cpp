// The pictures compiled into the program are the ones the painting code draws, at their sizes.
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
    void resultPictureFitsItsFrame() {
        const QPixmap picture = Pictures::resultPicture(QSize(137, 161));
        QCOMPARE(picture.size(), QSize(137, 161));
        // Not blank: the painting left more than one colour.
        const QImage image = picture.toImage();
        QVERIFY(image.pixel(68, 60) != image.pixel(2, 2));
    }
};

QTEST_MAIN(PicturesTest)
#include "test_pictures.moc"
