#pragma once

#include <QDate>
#include <QList>
#include <QWidget>

#include "data/historymeasures.h"

// The typists' measures of the text pages over days, as charts: speed (characters a minute),
// keys a second, and keys a character with the ideal beside it. Reads the history each time it is
// shown.
class MeasuresChart : public QWidget {
    Q_OBJECT
  public:
    explicit MeasuresChart(QWidget* parent = nullptr);

    // One day's pages together: each measure is the day's totals divided, not a mean of pages.
    struct Day {
        QDate date;
        qint64 ms = 0;
        History::Measures sum;
        double speed() const;
        double keysPerSecond() const;
        double codeLength() const;
        double idealCodeLength() const;
    };
    // Adds a page (UTC ms, its length) to the days, local dates in order.
    static void add(QList<Day>& days, qint64 at, qint64 ms, const History::Measures& measures);

    void setDays(const QList<Day>& days);
    const QList<Day>& shownDays() const { return days; }
    // Reads the text pages' measures from the history.
    void reload();

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Series {
        QString name;
        QColor colour;
        std::function<double(const Day&)> value;
        bool dashed = false;
    };
    void drawPanel(QPainter& painter, const QRect& area, const QString& title,
                   const QList<Series>& series);
    QList<Day> days;
};
