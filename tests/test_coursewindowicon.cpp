// The window icon: every size is drawn, opaque inside its tile, with the red mark on the key cap.
#include <QIcon>
#include <QImage>
#include <QSet>
#include <QtTest>

#include "resources/windowicon.h"

class CourseWindowIconTest : public QObject {
    Q_OBJECT

  private slots:
    void iconHasEverySize() {
        const QIcon icon = WindowIcon::icon();
        QVERIFY(!icon.isNull());
        for (int size : {16, 24, 32, 48, 256}) {
            const QPixmap pixmap = icon.pixmap(size, size);
            QCOMPARE(pixmap.size(), QSize(size, size));
        }
    }

    void eachSizeShowsTileCapAndMark() {
        for (int size : {16, 32, 64}) {
            const QImage image = WindowIcon::render(size);
            QCOMPARE(image.size(), QSize(size, size));
            // Corners are transparent (rounded tile), the centre is opaque.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
            int red = 0, teal = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const QColor c = QColor::fromRgba(image.pixel(x, y));
                    if (c.alpha() < 255)
                        continue;
                    red += (c.red() > 140 && c.green() < 90 && c.blue() < 90) ? 1 : 0;
                    teal += (c.green() > c.red() + 40 && c.blue() > c.red() + 40) ? 1 : 0;
                }
            QVERIFY2(red >= size / 4, qPrintable(QString::number(size)));
            QVERIFY2(teal >= size * size / 10, qPrintable(QString::number(size)));
        }
    }

    // In a title bar the icon is 16 to 32 pixels: 五 keeps its height there, and its strokes
    // stand out sharply from the key cap instead of blurring into one bar.
    void smallSizesShowTheCharacter() {
        for (int size : {16, 24, 32}) {
            const QImage image = WindowIcon::render(size);
            QSet<int> rows, columns;
            int crisp = 0, red = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const QColor c = QColor::fromRgba(image.pixel(x, y));
                    if (c.red() > 120 && c.green() < c.red() / 2) {
                        rows << y;
                        columns << x;
                        ++red;
                        crisp += c.green() < 60 ? 1 : 0;
                    }
                }
            const QByteArray where = QByteArray::number(size);
            QVERIFY2(rows.size() >= size / 2, where);
            QVERIFY2(columns.size() >= size / 2, where);
            QVERIFY2(crisp * 10 >= red * 9, where);
        }
    }
};

QTEST_MAIN(CourseWindowIconTest)
#include "test_coursewindowicon.moc"
