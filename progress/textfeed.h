#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Text-drill pages that come from a list of lines instead of table rows: the weak-character
// page and the pupil's own article. The drill shows them as any lesson; after a finished page
// the next one follows, and after the last the first again.
namespace TextFeed {

inline constexpr int kPageLines = 6;
inline constexpr int kLineLength = 36;  // characters: what a typing box shows in full

// Shows the text drill modally on these pages; returns when the pupil closes it.
void show(const QString& caption, const QList<QStringList>& pages);
// Shows one page, and after each finished page the one next() makes.
void show(const QString& caption, const QStringList& page, std::function<QStringList()> next);

bool active();
QString caption();
int pageIndex();
int pageCount();
// Called by the drill when a page is finished: puts the next page's lines in place.
void pageFinished();

// Cuts lines into pages of kPageLines drill lines: each line ends a drill line, and a line longer
// than kLineLength characters goes on over as many drill lines as it needs.
QList<QStringList> paginate(const QStringList& lines);

}  // namespace TextFeed
