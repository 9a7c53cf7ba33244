#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Text-drill pages that come from a list of lines instead of table rows: the weak-character
// page, the pupil's own article and adaptive practice. The drill shows them as any lesson; after
// a finished page and its result the next one follows, and after the last the first again.
namespace TextFeed {

inline constexpr int kPageLines = 6;
inline constexpr int kLineLength = 36;  // characters: what a typing box shows in full

// Shows the text drill modally on these pages; returns when the pupil closes it.
void show(const QString& caption, const QList<QStringList>& pages);

// A page made afresh after each finished one, with a heading that says what it works on.
struct Made {
    QStringList lines;  // empty: the page before is typed again
    QString heading;
};
// Shows first, and after each finished page the one next() makes.
void show(const QString& caption, const Made& first, std::function<Made()> next);

// Cuts lines into pages of kPageLines drill lines: each line ends a drill line, and a line longer
// than kLineLength characters goes on over as many drill lines as it needs.
QList<QStringList> paginate(const QStringList& lines);

}  // namespace TextFeed
