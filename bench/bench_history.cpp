// The history's costs: writing one finished page, the file size of a year of daily practice
// (365 days x 20 pages), opening the record window over that year (the first open after a day's
// pages, not summed up yet), and the parts of an open: ranking from the running totals against
// ranking from every stroke as the window once did, the adaptive page, the export of the year,
// and building the totals once for a file written before them.
//
//   bench_history [opens]    (QORVEX_BUILT_DRIVE overrides <build>/drive for the code table)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include <sys/resource.h>

#include <sqlite3.h>

#include "bench/builtdrive.h"
#include "data/history.h"
#include "platform/errors.h"
#include "progress/CRecord.h"
#include "progress/adaptivelesson.h"
#include "progress/dailygoal.h"
#include "progress/historyexport.h"

namespace {

const QString kCommon = QStringLiteral(
    "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子"
    "说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机"
    "当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心"
    "反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并提直题党"
    "程");

QList<History::Stroke> strokes(const QString& text, QRandomGenerator& random) {
    QList<History::Stroke> list;
    for (QChar c : text) {
        History::Stroke s{QString(c), quint32(random.bounded(150, 2500)),
                          random.bounded(100) < 5 ? 1u : 0u};
        // The codes typed: each character's own two to four letters; the hint showing.
        for (int k = 0; k < 2 + c.unicode() % 3; ++k)
            s.code += QChar(u'a' + (c.unicode() >> (3 * k)) % 25);
        s.hinted = true;
        if (s.wrong)
            s.wrongs << QString(kCommon[int(random.bounded(quint32(kCommon.size())))]);
        list.append(s);
    }
    return list;
}

History::Page page(const QString& drill, const QString& lesson, const QDateTime& at, int ms,
                   const QList<History::Stroke>& s) {
    History::Page p;
    p.at = at;
    p.drill = drill;
    p.lesson = lesson;
    p.rangeFirst = 1;
    p.rangeSecond = 8;
    p.pageNo = 1;
    p.ms = ms;
    p.amount = int(s.size()) * 2;
    p.speedText = QStringLiteral("每分钟%1个").arg(60000 * p.amount / qMax(ms, 1));
    p.strokes = s;
    return p;
}

// A text page of about 200 characters: one of 40 lesson pages, or every page new.
QString textOf(int n, bool distinct, QRandomGenerator& random) {
    QRandomGenerator pageRandom(distinct ? random.generate() : quint32(n % 40));
    QString text;
    for (int i = 0; i < 200; ++i) text += kCommon[int(pageRandom.bounded(quint32(kCommon.size())))];
    return text;
}

// 20 pages a day: 12 text pages, 4 finger pages of 160 keys, 4 root pages.
void writeDays(History::Store& store, bool distinctTexts) {
    QRandomGenerator random(7);
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-365);
    int n = 0;
    for (int day = 0; day < 365; ++day) {
        for (int k = 0; k < 20; ++k, ++n) {
            const QDateTime at = start.addDays(day).addSecs(k * 90);
            const int ms = int(random.bounded(40000, 200000));
            if (k < 12) {
                store.record(page(History::kText, QStringLiteral("课程练习[&%1]").arg(1 + k % 7),
                                  at, ms, strokes(textOf(n, distinctTexts, random), random)));
            } else if (k < 16) {
                QString keys;
                for (int i = 0; i < 160; ++i)
                    keys += QLatin1Char("asdfjkl; ghqwertyuiop"[random.bounded(21)]);
                store.record(page(History::kFinger, QStringLiteral("基准键[&A]"), at, ms,
                                  strokes(keys, random)));
            } else {
                History::Page p =
                    page(History::kRoot, QStringLiteral("五笔字根总测试[&D]"), at, ms, {});
                p.errors = int(random.bounded(5));
                store.record(p);
            }
        }
    }
}

qint64 writeYear(const QString& path, bool distinctTexts) {
    {
        History::Store store(path);
        writeDays(store, distinctTexts);
    }  // closed: the journal is folded into the file
    return QFileInfo(path).size();
}

// The weakest characters counted from every stroke with exact medians: the window's way before
// the running totals, kept here to compare.
int weakestFromStrokes(History::Store& store) {
    struct Tally {
        int met = 0, wrong = 0;
        QList<quint32> times;
    };
    QHash<QString, Tally> tallies;
    store.forEachStroke(History::kText, [&](QStringView c, quint32 ms, quint32 wrong, bool first) {
        Tally& t = tallies[c.toString()];
        ++t.met;
        t.wrong += int(wrong);
        if (!first)
            t.times.append(ms);
    });
    QList<QPair<int, quint32>> scores;
    for (Tally& t : tallies) {
        if (t.met < Ranking::kMinimumMet || t.times.isEmpty())
            continue;
        auto middle = t.times.begin() + t.times.size() / 2;
        std::nth_element(t.times.begin(), middle, t.times.end());
        scores.append({t.wrong, *middle});
    }
    std::sort(scores.begin(), scores.end(), std::greater<>());
    return int(qMin<qsizetype>(scores.size(), Ranking::kWeakest));
}

template <typename F>
double msOf(F&& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// A day's pages written and not summed up yet: 16 new text pages, 4 finger pages.
// A day's 20 pages; idling after each, as the program does when the result dialog closes, sums
// each one up at once.
void recordDay(History::Store& store, quint32 seed, bool idling) {
    QRandomGenerator random(seed);
    for (int k = 0; k < 20; ++k) {
        store.record(page(k < 16 ? History::kText : History::kFinger,
                          QStringLiteral("课程练习[&1]"), QDateTime::currentDateTimeUtc(), 60000,
                          strokes(textOf(k, true, random), random)));
        if (idling)
            store.idle();
    }
}

// The file as it was before the running totals: the totals dropped, schema version 1.
void makeOlder(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db,
                 "DROP TABLE tallies; DROP TABLE times; DROP TABLE summed; DROP TABLE codes;"
                 " DROP TABLE confusions; DROP TABLE attempts; DROP TABLE derived;"
                 " DROP TABLE settings;"
                 " CREATE TABLE old(id INTEGER PRIMARY KEY, at INTEGER NOT NULL,"
                 " drill TEXT NOT NULL, lesson TEXT NOT NULL, range_first INTEGER NOT NULL,"
                 " range_second INTEGER NOT NULL, page_no INTEGER NOT NULL, ms INTEGER NOT NULL,"
                 " amount INTEGER NOT NULL, speed_text TEXT NOT NULL, speed REAL NOT NULL,"
                 " errors INTEGER NOT NULL, strokes INTEGER REFERENCES texts(id), times BLOB);"
                 " INSERT INTO old SELECT id, at, drill, lesson, range_first, range_second,"
                 " page_no, ms, amount, speed_text, speed, errors, strokes, times FROM pages;"
                 " DROP TABLE pages; ALTER TABLE old RENAME TO pages;"
                 " CREATE INDEX pages_by_lesson ON pages(drill, lesson, at);"
                 " PRAGMA user_version = 1; VACUUM;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The process's CPU time: steadier than the clock on a busy machine.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Context switches of this thread: a write preempted by another process (involuntary) or that
// waited for the disk or a lock (voluntary).
rusage threadUsage() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage;
}

QByteArray loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray("?");
}

void printTimes(const char* what, QList<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s n=%4lld  median %6.3f ms  p99 %6.3f ms  max %6.3f ms\n", what,
                qlonglong(ms.size()), ms[ms.size() / 2], ms[qsizetype(ms.size() * 0.99)],
                ms.last());
}

}  // namespace

int main(int argc, char** argv) {
    Application app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Errors::setSink([](const QString& message) {
        std::fprintf(stderr, "bench_history: %s\n", qPrintable(message));
        std::exit(1);
    });
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("QORVEX_DRIVE", builtDrive().toLocal8Bit());

    // Writing a page of 200 characters into a file that already holds a few hundred pages: with
    // the journal left to grow until exit, and folded back at the idle moment after each page
    // (the result dialog closing), as the program does. The journal's size after the session,
    // and what a fold costs. Written back to back, the benchmark competes for the processor as a
    // busy program does, and a write is preempted whenever its turn ends; the drill sleeps between
    // key strokes, so the third round waits 10 ms before each page, as a pupil's last stroke does.
    enum class Round { AtExit, WhenIdle, Paced };
    for (const Round round : {Round::AtExit, Round::WhenIdle, Round::Paced}) {
        const bool folding = round != Round::AtExit;
        QTemporaryDir dir;
        const QString file = dir.filePath("history.sqlite3");
        History::Store store(file);
        QRandomGenerator random(3);
        QList<double> times, folds;
        qint64 largest = 0;
        int slow = 0, preempted = 0, waited = 0;
        for (int i = 0; i < 600; ++i) {
            const History::Page p = page(History::kText, QStringLiteral("课程练习[&1]"),
                                         QDateTime::currentDateTimeUtc(), 60000,
                                         strokes(textOf(i, false, random), random));
            if (round == Round::Paced)
                QThread::msleep(10);
            const rusage before = threadUsage();
            QElapsedTimer timer;
            timer.start();
            store.record(p);
            if (i >= 100) {
                times << timer.nsecsElapsed() / 1e6;
                const rusage after = threadUsage();
                if (times.last() > 1) {
                    ++slow;
                    preempted += after.ru_nivcsw > before.ru_nivcsw;
                    waited += after.ru_nvcsw > before.ru_nvcsw;
                }
            }
            largest = qMax(largest, QFileInfo(file + "-wal").size());
            if (folding)
                folds << msOf([&] { store.idle(); });
        }
        printTimes(round == Round::AtExit     ? "record one finished text page, folding at exit"
                   : round == Round::WhenIdle ? "record one finished text page, folding when idle"
                                              : "  the same, 10 ms after the last key stroke",
                   times);
        std::printf(
            "  %d over 1 ms: %d of them preempted by other processes, %d waited in the kernel\n",
            slow, preempted, waited);
        if (folding)
            printTimes("sum up and fold the journal when idle", folds);
        std::printf("journal over 600 pages: at most %.1f KiB\n", largest / 1024.0);
    }

    const qint64 distinct = writeYear(home.filePath("distinct.sqlite3"), true);
    const QString path = History::Store::defaultPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const qint64 lessons = writeYear(path, false);
    std::printf(
        "a year (365 x 20 pages): %.2f MiB with lesson pages retyped, %.2f MiB when every "
        "text page is new\n",
        lessons / 1048576.0, distinct / 1048576.0);

    // The pupil practises a day's pages, then opens the window.
    History::Store& store = History::Store::instance();
    recordDay(store, 11, true);
    std::printf("load average at the start of the opens: %s\n", loadAverage().constData());
    // Read once a run by the first of the record window and the adaptive practice.
    const Wubi::CodeBook* book = nullptr;
    std::printf("code book read from the code table and course texts (once a run): %.1f ms\n",
                msOf([&] { book = &Wubi::CodeBook::shared(); }));
    // A pupil's file holds the daily goal's tally from the first run after the upgrade on, which
    // built it from every page once.
    std::printf("daily goal's tally built for a file (once): %.1f ms\n",
                msOf([&] { DailyGoal::tally(store); }));
    const int count = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    QList<double> opens, cpu;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuMs();
        auto* window = new TfrmRecord;
        window->create();
        window->refresh();
        window->show();
        QApplication::processEvents();
        opens << timer.nsecsElapsed() / 1e6;
        cpu << cpuMs() - cpuStart;
        std::printf("open %d: %.1f ms, CPU %.1f ms (%lld weak characters)\n", i + 1, opens.last(),
                    cpu.last(), qlonglong(window->weakest.size()));
        delete window;
    }
    printTimes("record window opens over the year", opens);
    printTimes("the same opens, CPU time of the process", cpu);

    // The parts of an open.
    QList<double> fromTotals, fromStrokes, refreshes;
    for (int i = 0; i < 5; ++i) {
        fromTotals << msOf([&] {
            Ranking::weakestIn(store);
            Ranking::keysIn(store);
        });
        fromStrokes << msOf([&] { weakestFromStrokes(store); });
    }
    {
        TfrmRecord window;
        window.create();
        for (int i = 0; i < 5; ++i) refreshes << msOf([&] { window.refresh(); });
    }
    printTimes("weak characters and keys from the totals", fromTotals);
    printTimes("weak characters from every stroke (before)", fromStrokes);
    printTimes("refresh of an open window (all its parts)", refreshes);

    // The adaptive page: the mastery state is built once from the whole year, then each page reads
    // the pages since and makes the next page.
    {
        std::printf("mastery worked out from the whole year (once): %.1f ms\n",
                    msOf([&] { Mastery::current(store, *book); }));
        QRandomGenerator random(9);
        QList<double> pages, pagesCpu, mastery, confusions;
        for (int i = 0; i < 50; ++i) {
            store.record(page(History::kText, QStringLiteral("智能练习"),
                              QDateTime::currentDateTimeUtc(), 60000,
                              strokes(textOf(i, true, random), random)));
            const double cpuStart = cpuMs();
            pages << msOf([&] {
                AdaptiveLesson::pageFor(store, *book, random, QDateTime::currentMSecsSinceEpoch());
            });
            pagesCpu << cpuMs() - cpuStart;
            mastery << msOf([&] { Mastery::current(store, *book); });
            confusions << msOf([&] {
                store.forEachConfusion(History::kText, [](QStringView, QStringView, qint64) {});
            });
        }
        printTimes("adaptive page after each finished page", pages);
        printTimes("  the same, CPU time of the process", pagesCpu);
        printTimes("  of which: mastery brought up to date", mastery);
        printTimes("  of which: reading the confusions", confusions);
        QList<double> exports, files;
        qsizetype bytes = 0;
        const QString exported = home.filePath("year.json");
        for (int i = 0; i < 3; ++i) {
            exports << msOf(
                [&] { bytes = HistoryExport::json(HistoryExport::allPages(store)).size(); });
            files << msOf([&] { HistoryExport::write(store, exported); });
        }
        printTimes("export of the year as JSON", exports);
        std::printf("  (%.1f MiB of JSON)\n", bytes / 1048576.0);
        printTimes("the same into a file (--export-history)", files);
    }

    // Another day's pages the program could not sum up when idle (another qorvex held the file):
    // read from their strokes by the window, summed up as the store closes.
    {
        recordDay(store, 12, false);
        TfrmRecord window;
        window.create();
        std::printf("refresh with a day's 20 pages not summed up: %.1f ms\n",
                    msOf([&] { window.refresh(); }));
        std::printf("summing up a day's 20 pages (as the store closes): %.1f ms\n",
                    msOf([&] { store.sumUp(); }));
    }

    // A file of the year written before the running totals gets them at its first sum.
    const QString older = home.filePath("older.sqlite3");
    QFile::copy(path, older);
    makeOlder(older);
    History::Store olderStore(older);
    std::printf("a year's file given its running totals once: %.0f ms\n",
                msOf([&] { olderStore.sumUp(); }));
    return 0;
}
