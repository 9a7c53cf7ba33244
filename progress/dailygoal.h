#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include "data/history.h"

// The pupil's daily goal: minutes of practice a day, how much of it today holds, how many days
// in a row reached it, and how many more text pages the pupil's recent progress needs to reach
// the target speed.
namespace DailyGoal {

// Fifteen minutes: a few pages of each drill, short enough to fit into any school day. A skill
// of the fingers grows more from a short session every day than from a long one now and then,
// and a goal a pupil meets keeps them coming back.
inline constexpr int kDefaultMinutes = 15;
inline constexpr int kMaxMinutes = 240;

// The estimate fits a straight line through the speeds of the last kFitPages text pages. A line
// through fewer than kFitMinimum pages says little, and one that explains less than kFitR2 of
// how the speeds vary is too loose to count pages by.
inline constexpr int kFitPages = 30;
inline constexpr int kFitMinimum = 10;
inline constexpr double kFitR2 = 0.3;

// The pupil's goal, kept with the history.
int minutes(History::Store& store);
void setMinutes(History::Store& store, int minutes);

// What the goal needs of the history, kept with it so that opening the record window reads only
// the pages written since.
struct Tally {
    QHash<QDate, qint64> msPerDay;        // every drill, by the local date when the page was added
    QList<QPair<qint64, double>> speeds;  // (UTC ms, characters a minute) of the last kFitPages
                                          // text pages, oldest first
    qint64 through = 0;                   // the last page added

    void add(const History::Page& page);
    QByteArray save() const;
    static Tally load(const QByteArray& bytes);
};
// The tally brought up to date from the pages after the one kept, which is kept again if keep.
Tally tally(History::Store& store, bool keep = true);

// Days in a row, ending today, whose practice reached the goal. Today counts once it is met;
// until then the run ends with yesterday, as the day is not over. A day without enough
// practice ends the run.
int streak(const QHash<QDate, qint64>& msPerDay, int goalMinutes, const QDate& today);

// Characters per minute of a text page: the drill counts a Chinese character as two bytes. 0
// for a page without a time.
double charactersPerMinute(const History::Page& page);
// Pages still needed to reach target at the pace of the least-squares line through speeds
// (oldest first); -1 when the line is too loose, flat or falling, or the target is reached.
int pagesToTarget(const QList<double>& speeds, double target);

struct Status {
    int goalMinutes = kDefaultMinutes;
    int todayMinutes = 0;
    int streak = 0;
    int pagesToTarget = -1;
};
Status status(History::Store& store, int targetCpm, const QDateTime& now);

// The lines the record window shows.
QString todayText(const Status& status);
QString streakText(const Status& status);
// Empty when there is no estimate.
QString estimateText(const Status& status);

}  // namespace DailyGoal
