#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "data/historymeasures.h"

struct sqlite3;
namespace Sql {
class Cache;
}

// The pupil's practice history: one SQLite file in the pupil's own data folder
// ($XDG_DATA_HOME/qorvex/history.sqlite3), written through SQLCipher with no key. Each finished
// page is one transaction in a WAL journal, so a program killed mid-page loses at most that
// page. The history is an extra: a file that cannot be opened, is locked or is broken never
// stops practice. The pupil is told once per run of each kind of problem, in words of their own;
// a broken file is renamed aside and a new one started; pages that cannot be written yet (a full
// disk, a file another qorvex holds) stay in memory and go with the next page or at the next idle
// moment, and those still held at exit go to a file of their own that the next run merges in.
namespace History {

// One typed character (text drill) or key (finger drill) of a page.
struct Stroke {
    QString character;
    quint32 ms = 0;     // since the previous stroke; the first since the page's clock start
    quint32 wrong = 0;  // wrong characters typed in its place before it
    // The code letters typed for it (text drill), empty when the input method showed none.
    QString code{};
    // What came out in its place, one entry per wrong attempt, in order: characters committed
    // (text drill), the letter given (root drill) or the key hit (finger drill).
    QStringList wrongs{};
    bool hinted = false;  // the code hint was showing (text drill)
};

struct Page {
    QDateTime at;    // UTC
    QString drill;   // kText, kFinger or kRoot
    QString lesson;  // the lesson's caption
    int rangeFirst = 0;
    int rangeSecond = 0;
    int pageNo = 0;
    qint64 ms = 0;
    int amount = 0;     // bytes typed (text, finger drills) or items (root drill)
    QString speedText;  // as the result dialog showed it
    int errors = 0;     // root drill only
    QList<Stroke> strokes;
    Measures measures;  // text pages typed where they are counted
};

inline const QString kText = QStringLiteral("text");
inline const QString kFinger = QStringLiteral("finger");
inline const QString kRoot = QStringLiteral("root");

// What one page can hold. A page read from a file (an import, a leftover file, a history put
// aside) beyond these is not taken, and the counts and times read from the history are held to
// them, so that no reader meets a count it would loop over for minutes or a sum that overflows.
inline constexpr int kMostStrokes = 100000;
inline constexpr quint32 kMostWrong = 1000;             // wrong attempts at one character
inline constexpr qint64 kLongestMs = 24 * 3600 * 1000;  // a page, and so a stroke
inline constexpr int kMostCount = 10000000;             // bytes, errors, page and range numbers
inline constexpr int kLongestName = 200;                // a lesson's name, a speed text
inline constexpr int kLongestEntry = 64;                // a code, a wrong attempt
inline constexpr qint64 kMostTotal = qint64(1) << 40;   // a running total, summed by many readers
// Empty when the history can hold the page, else what is wrong with it, in the pupil's words.
QString problemOf(const Page& page);
// A page's duration or a count read from a file, held to what a page can hold.
qint64 bounded(qint64 value, qint64 most);

// The running totals keep stroke times to the nearest kTallyUnitMs: finer steps say nothing about
// a pupil and would multiply the rows, as a character met thousands of times has nearly as many
// different millisecond times.
inline constexpr quint32 kTallyUnitMs = 10;
quint32 tallyTime(quint32 ms);

// The number in a speed text ("每分钟257个", "每分钟:60个"), 0 when it holds none.
double speedValue(const QString& speedText);

// Strokes packed for the file: the characters as text and the times as varints.
QByteArray packTimes(const QList<Stroke>& strokes);
QList<Stroke> unpack(const QString& characters, const QByteArray& times);

// The typed codes, hint flags and wrong attempts of a page's strokes, kept apart from the times:
// codes as text "<code> <code> ..." (a page typed as before repeats it, so the file holds it once),
// hint flags as varint run lengths starting with a run of strokes without the hint, wrong attempts
// as text, each ended by kWrongEnd. Each is empty when no stroke has any.
struct Details {
    QString codes;
    QByteArray hints;
    QString wrongs;
};
inline constexpr QChar kWrongEnd = QChar(0x1F);
Details packDetails(const QList<Stroke>& strokes);
void unpackDetails(QList<Stroke>& strokes, const Details& details);

class Store {
  public:
    // The store of the pupil's file; opened at its first use, not at start-up.
    static Store& instance();
    static QString defaultPath();

    // note: told once at the first use (where the history goes when that is unusual); an empty
    // path keeps the pages in memory only.
    explicit Store(QString path, QString note = {});
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Writes the page (and any page held back before). False when it is held in memory.
    bool record(const Page& page);
    // Pages written so far, oldest first; strokes are filled only when asked for.
    QList<Page> pages(const QString& drill = {}, bool withStrokes = false);
    // (UTC ms, speed) of every page of one lesson, oldest first: the chart's points.
    QList<QPair<qint64, double>> speeds(const QString& drill, const QString& lesson);
    // Every (drill, lesson) that has pages, in drill then first-practised order.
    QList<QPair<QString, QString>> lessons();
    // Visits every page's strokes of a drill without building Page objects.
    void forEachStroke(const QString& drill,
                       const std::function<void(QStringView character, quint32 ms, quint32 wrong,
                                                bool firstOfPage)>& visit);
    // The running totals of a drill's strokes, so that the record window reads a row per
    // character instead of every stroke of the history: how often each character was met and its
    // wrong attempts; how many strokes of it took each time (tallyTime), the first stroke of a
    // page left out (the page's clock starts with it). A character may be visited more than once:
    // the counts add up.
    void forEachTotal(
        const QString& drill,
        const std::function<void(QStringView character, qint64 met, qint64 wrong)>& visit);
    // The times of the given characters only: the ranking needs the few that can make the list.
    void forEachTime(
        const QString& drill, const QStringList& characters,
        const std::function<void(QStringView character, quint32 ms, qint64 count)>& visit);
    // Adds the pages written since the last sum to the totals, in one transaction that also moves
    // the mark of the last page summed: the totals never disagree with the pages, whenever the
    // program stops. Run when the pupil is idle and when the store closes, never while a page is
    // being finished nor when the record window opens: a page touches a few hundred rows of
    // totals, which costs far more than the page (about 1 ms and 400 KiB of journal a page,
    // measured). Until then, and while the file is locked, the totals' readers count the newest
    // pages from their strokes.
    bool sumUp();
    // Writes what is held back, sums it up and folds the journal back into the file, so that a
    // day-long session keeps it small. Run when the pupil is idle (a result dialog or a drill has
    // just closed), never on a key stroke; does nothing when the file was not opened this run.
    void idle();
    // Writes what is held back, sums up and closes the file. Pages that still cannot be written
    // are kept in a leftover file and the pupil is told how many, why and where. Run at exit
    // while the application still stands, so that a problem can still be told; the destructor
    // only repeats it.
    void finish();
    int heldBack() const { return int(pending.size()); }
    // Why the history is not being kept right now, as a sentence naming the file; empty while
    // it is.
    QString statusText() const { return trouble; }

    // Removing pages, for the record window: a page written under a wrong clock, or a lesson the
    // pupil wants to start afresh. The running totals lose what the removed pages added to them.
    struct PageMark {
        qint64 id;
        qint64 at;  // UTC ms
        double speed;
    };
    // The pages of one lesson, oldest first.
    QList<PageMark> marks(const QString& drill, const QString& lesson);
    // When the first page of this history was written (by the order of writing, not by date);
    // 0 when there is none.
    qint64 firstRecorded();
    // False when the file could not be changed; nothing is removed then.
    bool removePage(qint64 id);
    bool removeLesson(const QString& drill, const QString& lesson);

    // Visits every page written after the page numbered after, with its strokes in full, oldest
    // first; visit returns false to stop. Each page comes with its number in the file.
    void forEachPage(qint64 after, const std::function<bool(qint64 id, const Page& page)>& visit);
    // Every page of a drill that has measures, oldest first: its time (UTC ms) and length (ms).
    void forEachMeasured(
        const QString& drill,
        const std::function<void(qint64 at, qint64 ms, const Measures& measures)>& visit);
    // The running totals of wrong attempts: the character wanted, what came instead and how often.
    void forEachConfusion(
        const QString& drill,
        const std::function<void(QStringView wanted, QStringView typed, qint64 count)>& visit);
    // The running totals of the codes typed for each character (text drill): how often each.
    void forEachCodeAttempt(
        const std::function<void(QStringView character, QStringView code, qint64 count)>& visit);
    // Adds pages from elsewhere (an exported history); a page already here, by time, drill and
    // lesson, is kept once. Returns how many were added, -1 when the file could not take them
    // (nothing is added then).
    int merge(const QList<Page>& pages);
    // The same in one transaction for pages read one by one: source calls add for each. An
    // exception from source leaves the history as it was and goes on to the caller.
    using PageSource = std::function<void(const std::function<void(const Page&)>& add)>;
    int merge(const PageSource& source);
    // Visits every page, oldest first, for an export; visit returns false to stop. A history the
    // pupil may not write is read read-only, and one not there yet has no pages. False when it
    // could not be read through; readProblem() says why.
    bool readPages(const std::function<bool(const Page&)>& visit);
    QString readProblem() const { return unreadable; }
    QString path() const { return file; }
    // State worked out from the pages by a reader, kept with the number of the last page in it so
    // that the reader goes on from there; through is 0 when there is none.
    QByteArray derived(const QString& name, qint64* through);
    void keepDerived(const QString& name, qint64 through, const QByteArray& body);
    // A pupil's setting kept with the history, so that it follows the history file.
    QString setting(const QString& name, const QString& fallback = {});
    void setSetting(const QString& name, const QString& value);

    // Replaces the message sink (tests); the default reports through Errors::report.
    static void setMessageSink(std::function<void(const QString&)> sink);

  private:
    bool open();
    void close();
    int migrate();
    // Before the totals are read: a long run of pages left unsummed is summed up first.
    void sumUpLongRun();
    int connect();
    bool writeHeld();
    bool writePending();
    bool writeOne(const Page& page, bool fromLeftovers);
    // Puts the file aside; why is the sentence the pupil is told, with %1 for the new name.
    // The name it was given, empty when it could not be renamed.
    QString renameAside(const QString& why = {});
    // Copies the pages of a file put aside for its schema into this one.
    int rescue(const QString& aside);
    void mergeLeftovers();
    void keepLeftovers();
    enum class Problem { Broken, Locked, Unusable, Place, Unsaved, Leftover };
    void tell(Problem problem, const QString& message);
    void tellLocked();
    enum class Step { Create, Open, Write };
    void cannot(Step step, int code, int systemError);
    void cannot(Step step, const QString& why, const QString& what);

    QString file;
    QString note;
    sqlite3* db = nullptr;
    std::unique_ptr<Sql::Cache> statements;  // the page write's, while db is open
    QList<Page> pending;
    QSet<Problem> told;
    bool gaveUp = false;  // a file this run cannot use (unreadable, newer schema)
    int lastCode = 0;     // of the last write that failed
    QString reason;       // why the last open or write failed, in a few words
    QString trouble;      // statusText()
    QString unreadable;   // readProblem()
    bool leftoversRead = false;
    bool leaving = false;       // being destroyed: no box may open
    bool quiet = false;         // trying a file that may be read otherwise: nothing to tell
    QStringList leftoverFiles;  // merged into pending, removed once written
    int leftoverPages = 0;      // the first pages held come from them
};

}  // namespace History
