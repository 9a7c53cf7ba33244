#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include "progress/mastery.h"
#include "progress/wubicodes.h"

// The record window's root map: the 25 root keys as they lie on the keyboard, each with its
// roots in the course's order, every root coloured by how surely the pupil knows it. Roots of
// keys the adaptive practice has not brought in yet are grey. Painted at the screen's density.
//
// A key shows at most kShownOnKey cells, so that its roots stay large enough to read on a plain
// screen: on a busier key, its first root and the weakest others, and a last cell "+n" for the
// rest, which its tooltip lists.
class MasteryMap : public QWidget {
    Q_OBJECT
  public:
    struct Root {
        QString name;  // as the code book names it: a glyph, or "@name" for a drawn shape
        QChar key;     // lower case
        bool locked = true;
        double confidence = 0;
        QPixmap picture;  // a drawn shape's picture, black on white; null for a glyph
    };

    static constexpr int kShownOnKey = 6;

    explicit MasteryMap(QWidget* parent = nullptr);

    // Every root of the book's keys with the pupil's confidence; a root is locked when its key is
    // not among keysInPlay.
    static QList<Root> rootsOf(const Wubi::CodeBook& book, const Mastery::Tracker& tracker,
                               const QString& keysInPlay, double targetMs);
    // Grey when locked, else red through yellow to green as confidence goes from 0 to 1.
    static QColor colour(const Root& root);

    void setRoots(const QList<Root>& roots);
    // Where the root's cell is drawn, in widget coordinates (its key's "+n" cell for a root not
    // drawn); a null rect for an unknown root.
    QRect cellOf(const QString& name) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    struct Layout {
        qreal pitch = 0;
        int across = 0, down = 0;  // the room for a key's roots
        int legendTop = 0;
        int letter = 0;  // the key letter's line
    };
    Layout layout() const;
    struct Grid {
        int cell = 0;
        int columns = 1;
    };
    // The largest square cells that hold the key's roots: a key of few roots draws them large,
    // the busiest key as large as its room allows.
    Grid gridOf(const Layout& l, QChar key) const;
    QRectF keyRect(const Layout& l, QChar key) const;
    QRect cellRect(const Layout& l, QChar key, int index) const;
    void paintLegend(QPainter& p, const Layout& l);

    QString restOf(QChar key) const;

    QList<Root> drawn;               // by key, in the course's order
    QHash<QChar, QList<Root>> rest;  // the roots of a busy key not drawn
    QHash<QChar, int> onKey;         // cells, the "+n" cell included
};
