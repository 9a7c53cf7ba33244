// The teaching benchmark: simulated pupils learn Wubi through the fixed course and through
// 智能练习, every page typed through the program's own page builders and recorded in its own
// history store; every five pages a held-out test of common characters measures what they can
// type without the hint. See README.md in this folder.

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "bench/builtdrive.h"
#include "bench/teaching/curricula.h"
#include "bench/teaching/pupil.h"
#include "bench/teaching/sitting.h"
#include "data/history.h"
#include "progress/adaptivelesson.h"

namespace {

constexpr int kPages = 200;
constexpr int kPagesADay = 10;
constexpr int kTestEvery = 5;
constexpr int kCurveEvery = 20;
constexpr int kTestSize = 300;
// Each pupil learns from each curriculum this many times, with other random draws; the tables give
// the mean, so that one lucky or unlucky test does not decide.
constexpr int kSeeds = 3;
constexpr qint64 kBreakMs = 30000;
constexpr qint64 kDayMs = 86400000;
const char* const kFrequencyList = "/usr/share/rime-data/pinyin_simp.dict.yaml";
// A second list from another corpus, so that a curriculum that practises the first list's
// characters in their order is also judged on characters it did not pick: the Wubi table's own
// weights, characters of GB2312 level 1 only (the table also weighs traditional ones).
const char* const kSecondList = "/usr/share/rime-data/wubi86.dict.yaml";

// The most frequent characters of a Rime dictionary that the code book has: a frequency list
// from outside the course's texts. A pinyin dictionary weighs each reading, so the weights are
// summed per character; the Wubi table weighs each code of the character with its frequency, so
// the largest is taken.
QStringList commonCharacters(const Wubi::CodeBook& book, const char* path, bool sumReadings,
                             bool level1Only, int count) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QHash<QString, qint64> weight;
    bool body = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line == QLatin1String("...")) {
            body = true;
            continue;
        }
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (!body || fields.size() < 3 || fields[0].size() != 1)
            continue;
        qint64& w = weight[fields[0]];
        w = sumReadings ? w + fields[2].toLongLong() : qMax(w, fields[2].toLongLong());
    }
    QStringList characters;
    for (auto it = weight.cbegin(); it != weight.cend(); ++it)
        if (const Wubi::Character* c = book.find(it.key());
            c && !c->fullCode.isEmpty() && (c->level1 || !level1Only))
            characters << it.key();
    std::sort(characters.begin(), characters.end(), [&](const QString& a, const QString& b) {
        return weight[a] != weight[b] ? weight[a] > weight[b] : a < b;
    });
    return characters.mid(0, count);
}

// Each run's history where the program looks for it when XDG_DATA_HOME is home/run.
QString historyFile(const QDir& home, const QString& run) {
    const QString folder = home.filePath(run + QStringLiteral("/qorvex"));
    QDir().mkpath(folder);
    return folder + QStringLiteral("/history.sqlite3");
}

struct Run {
    QList<TestResult> tests;   // after every kTestEvery pages
    QList<TestResult> second;  // the same on the second list
    QStringList keys;          // in play at the end (智能练习), by seed
    qint64 characters = 0;     // typed in practice
    qint64 wrongCommits = 0;
    qint64 erased = 0;
    double practiceMinutes = 0;
};

// One pupil through one curriculum: pages at kPagesADay a day, each day from 08:00 UTC.
template <typename Curriculum>
Run run(const Profile& profile, int seed, const Wubi::CodeBook& book, const InputMethod& im,
        const QStringList& test, const QStringList& second, History::Store& store,
        Curriculum& curriculum) {
    Run result;
    Pupil pupil(profile, book);
    QRandomGenerator practice{quint32(seed)};
    const qint64 start = QDateTime(QDate(2026, 1, 5), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
    qint64 now = start;
    for (int p = 1; p <= kPages; ++p) {
        if ((p - 1) % kPagesADay == 0)
            now = qMax(now, start + (p - 1) / kPagesADay * kDayMs);
        PageCounts counts;
        const History::Page page = curriculum.next(pupil, now, practice, counts);
        result.wrongCommits += counts.wrongCommits;
        result.erased += counts.erased;
        store.record(page);
        store.idle();  // as the program does when the result dialog closes
        result.characters += page.strokes.size();
        result.practiceMinutes += double(page.ms) / 60000.0;
        now += kBreakMs;
        if (p % kTestEvery == 0) {
            // The same draws for both curricula: only what the pupil learnt differs.
            QRandomGenerator draws(quint32(seed * 1000 + p));
            if (p == 200 && qEnvironmentVariableIsSet("DIAGALL")) {
                fprintf(stderr, "%s: ", qPrintable(profile.name));
                qputenv("DIAG", "1");
            }
            result.tests << heldOutTest(pupil, im, test, now, draws);
            qunsetenv("DIAG");
            result.second << heldOutTest(pupil, im, second, now, draws);
        }
    }
    return result;
}

// Several runs of one pupil and curriculum as one: each test's speed and accuracy, and the counts,
// averaged over the runs.
Run averaged(const QList<Run>& runs) {
    Run mean;
    const double n = double(runs.size());
    for (const Run& r : runs) {
        for (auto [from, to] : {std::pair{&r.tests, &mean.tests}, {&r.second, &mean.second}}) {
            to->resize(from->size());
            for (qsizetype t = 0; t < from->size(); ++t) {
                (*to)[t].cpm += (*from)[t].cpm / n;
                (*to)[t].accuracy += (*from)[t].accuracy / n;
            }
        }
        mean.keys += r.keys;
        mean.characters += r.characters;
        mean.wrongCommits += r.wrongCommits;
        mean.erased += r.erased;
        mean.practiceMinutes += r.practiceMinutes / n;
    }
    mean.characters = qRound64(double(mean.characters) / n);
    mean.wrongCommits = qRound64(double(mean.wrongCommits) / n);
    mean.erased = qRound64(double(mean.erased) / n);
    return mean;
}

// The first page whose test reaches cpm at 95% accuracy, as text; "–" when none.
QString firstReaching(const QList<TestResult>& tests, double cpm) {
    for (qsizetype i = 0; i < tests.size(); ++i)
        if (tests[i].cpm >= cpm && tests[i].accuracy >= 0.95)
            return QString::number((i + 1) * kTestEvery);
    return QStringLiteral("–");
}

QString at(const QList<TestResult>& tests, int page) {
    const TestResult& t = tests.value(page / kTestEvery - 1);
    return QStringLiteral("%1 / %2%").arg(t.cpm, 0, 'f', 0).arg(t.accuracy * 100, 0, 'f', 0);
}

struct Row {
    QString pupil;
    const char* curriculum;
    Run run;
};

void printSummary(const QList<Row>& rows) {
    std::printf(
        "| pupil | curriculum | page 50 (cpm / acc) | page 100 | page 200 | 30 cpm ≥95%% "
        "at page | 60 cpm ≥95%% at page | characters typed | practice minutes | wrong codes (no "
        "candidate) |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        const Run& r = row.run;
        const qint64 wrong = r.wrongCommits + r.erased;
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %lld | %.0f | %lld (%.0f%%) |\n",
                    qPrintable(row.pupil), row.curriculum, qPrintable(at(r.tests, 50)),
                    qPrintable(at(r.tests, 100)), qPrintable(at(r.tests, 200)),
                    qPrintable(firstReaching(r.tests, 30)), qPrintable(firstReaching(r.tests, 60)),
                    r.characters, r.practiceMinutes, wrong,
                    wrong ? 100.0 * double(r.erased) / double(wrong) : 0.0);
    }
}

void printCurve(const QList<Row>& rows) {
    std::printf("| pupil | curriculum |");
    for (int page = kCurveEvery; page <= kPages; page += kCurveEvery) std::printf(" %d |", page);
    std::printf("\n|---|---|%s\n",
                qPrintable(QStringLiteral("---|").repeated(kPages / kCurveEvery)));
    for (const Row& row : rows) {
        std::printf("| %s | %s |", qPrintable(row.pupil), row.curriculum);
        for (int page = kCurveEvery; page <= kPages; page += kCurveEvery)
            std::printf(" %s |", qPrintable(at(row.run.tests, page)));
        std::printf("\n");
    }
}

void printSecond(const QList<Row>& rows) {
    std::printf(
        "| pupil | curriculum | page 100 | page 200 | 30 cpm ≥95%% at page | 60 cpm ≥95%% "
        "at page |\n|---|---|---|---|---|---|\n");
    for (const Row& row : rows)
        std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(row.pupil), row.curriculum,
                    qPrintable(at(row.run.second, 100)), qPrintable(at(row.run.second, 200)),
                    qPrintable(firstReaching(row.run.second, 30)),
                    qPrintable(firstReaching(row.run.second, 60)));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QElapsedTimer clock;
    clock.start();
    // --keep DIR keeps each pupil's history there, to be looked at with the program.
    const int keepAt = int(QCoreApplication::arguments().indexOf(QStringLiteral("--keep")));
    QTemporaryDir temporary;
    const QDir home(keepAt > 0 ? QCoreApplication::arguments().value(keepAt + 1)
                               : temporary.path());
    if (!home.mkpath(QStringLiteral(".")))
        return 1;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    const QString drive = builtDrive();
    if (!QFile::exists(QDir(drive).filePath(QStringLiteral("mavro/111.DB")))) {
        std::printf("The built course %s is not there yet: build the course first.\n",
                    qPrintable(QDir::cleanPath(drive)));
        return 1;
    }
    qputenv("QORVEX_DRIVE", drive.toLocal8Bit());
    const Wubi::CodeBook& book = Wubi::CodeBook::shared();
    const QStringList test = commonCharacters(book, kFrequencyList, true, false, kTestSize);
    const QStringList second = commonCharacters(book, kSecondList, false, true, kTestSize);
    if (test.size() < kTestSize || second.size() < kTestSize) {
        std::printf("%s (rime-data-pinyin-simp) or %s is missing or short: no held-out test.\n",
                    kFrequencyList, kSecondList);
        return 1;
    }
    const InputMethod im(book);

    QList<Row> rows;
    const QList<Profile> all = profiles();
    for (int i = 0; i < all.size(); ++i) {
        QList<Run> course, adaptive;
        for (int s = 0; s < kSeeds; ++s) {
            const int seed = i + 1 + 10 * s;
            const QString suffix = QString::number(i) + (s ? QStringLiteral(".%1").arg(s) : "");
            History::Store courseStore(historyFile(home, QStringLiteral("course-") + suffix));
            FixedCourse fixed(book, im);
            course << run(all[i], seed, book, im, test, second, courseStore, fixed);
            History::Store adaptiveStore(historyFile(home, QStringLiteral("adaptive-") + suffix));
            AdaptiveCourse practice(book, im, adaptiveStore);
            adaptive << run(all[i], seed, book, im, test, second, adaptiveStore, practice);
            adaptive.last().keys = {practice.keys()};
        }
        rows.append({all[i].name, "fixed course", averaged(course)});
        rows.append({all[i].name, "智能练习", averaged(adaptive)});
    }

    std::printf(
        "%d pages, %d a day; held-out test of %d characters every %d pages, no hint; each figure "
        "the mean of %d runs with other random draws\n\n",
        kPages, kPagesADay, kTestSize, kTestEvery, kSeeds);
    printSummary(rows);
    std::printf("\nThe test every %d pages (cpm / accuracy):\n\n", kCurveEvery);
    printCurve(rows);
    std::printf(
        "\nThe same tests on a second list, the %d most frequent characters by the weights "
        "of %s:\n\n",
        kTestSize, kSecondList);
    printSecond(rows);

    std::printf("\nKeys in play after page %d of 智能练习, by run:\n", kPages);
    for (const Row& row : rows)
        if (!row.run.keys.isEmpty()) {
            QStringList counts;
            for (const QString& keys : row.run.keys) counts << QString::number(keys.size());
            std::printf("- %s: %s of 25\n", qPrintable(row.pupil), qPrintable(counts.join(", ")));
        }
    std::printf("\nRun time: %.1f s\n", double(clock.elapsed()) / 1000.0);
    return 0;
}
