#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QTemporaryDir>

// A small course in a temporary folder that stands in for the drive (QORVEX_DRIVE points at it
// while the fixture lives). Tables are written by the course builder's own writers.
class FixtureCourse {
  public:
    struct Code {
        QString character;
        QString shortCode;
        QString fullCode;
        QList<QImage> pictures;  // up to four
    };
    struct Root {
        QString key;
        QString mem;
        QImage picture;
        QString no;
    };

    FixtureCourse();
    ~FixtureCourse();

    QString drive() const { return dir.path(); }
    QString mavro() const;  // the data directory's real path

    void writePracticeRows(const QList<QString>& rows);
    void writeCodeTable(const QList<Code>& codes);
    void writeRootTable(const QList<Root>& roots);
    // All three tables with the default contents below.
    void writeAll();

    // Row n (from 1) of the default practice table, as the drills will show it.
    static QList<QString> defaultPracticeRows();
    static QList<Code> defaultCodes();
    static QList<Root> defaultRoots();
    // A distinguishable picture for tests that compare pictures.
    static QImage labelPicture(const QString& text, QColor colour = Qt::black);

  private:
    QTemporaryDir dir;
    QByteArray previousDrive;
};
