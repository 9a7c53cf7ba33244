// The pupil's history: pages of the three drills finished through their windows land in the
// history file with the figures the result dialog showed and are there after a restart; a broken,
// locked, read-only, unreadable or full file never stops practice, is told once in the pupil's
// words, and the pages it could not take are kept for the next run; the files are the pupil's
// alone.
#include <fcntl.h>
#include <pwd.h>
#include <sched.h>
#include <sqlite3.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDir>
#include <QtTest>
#include <csignal>
#include <thread>

#include "data/history.h"
#include "data/historyfiles.h"
#include "drills/CTT.h"
#include "drills/CwbTest1.h"
#include "drills/pagetiming.h"
#include "platform/exitsignals.h"
#include "support/fingerpupil.h"
#include "support/historyfile.h"
#include "support/rootpupil.h"
#include "support/textdrillsession.h"

using namespace TextDrillSession;

namespace {

QByteArray digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

History::Page somePage(int n) {
    History::Page page;
    page.at = QDateTime::currentDateTimeUtc();
    page.drill = History::kText;
    page.lesson = QStringLiteral("课程练习[&1]");
    page.pageNo = n;
    page.ms = 1000 * n;
    page.speedText = QStringLiteral("每分钟%1个").arg(n);
    page.strokes = {{QStringLiteral("工"), 0, 2}, {QStringLiteral("地"), 480, 0}};
    return page;
}

// Totals as sorted lines, so that two ways of counting compare with one QCOMPARE.
QStringList totalsAsLines(const QMap<QString, QPair<qint64, qint64>>& met,
                          const QMap<QString, qint64>& times) {
    QStringList lines;
    for (auto it = met.cbegin(); it != met.cend(); ++it)
        lines << QStringLiteral("%1 met %2 wrong %3").arg(it.key()).arg(it->first).arg(it->second);
    for (auto it = times.cbegin(); it != times.cend(); ++it)
        lines << QStringLiteral("%1 x%2").arg(it.key()).arg(it.value());
    lines.sort();
    return lines;
}

// The running totals of a file as text lines, or the same figures summed from its strokes.
QStringList totalsIn(History::Store& store) {
    QMap<QString, QPair<qint64, qint64>> met;
    QMap<QString, qint64> times;
    for (const QString& drill : {History::kText, History::kFinger}) {
        QStringList characters;
        store.forEachTotal(drill, [&](QStringView c, qint64 n, qint64 wrong) {
            QPair<qint64, qint64>& counts = met[drill + ' ' + c.toString()];
            counts.first += n;
            counts.second += wrong;
            if (!characters.contains(c))
                characters << c.toString();
        });
        store.forEachTime(drill, characters, [&](QStringView c, quint32 ms, qint64 count) {
            times[QStringLiteral("%1 %2 %3 ms").arg(drill, c).arg(ms)] += count;
        });
    }
    return totalsAsLines(met, times);
}

QStringList totalsOfStrokes(History::Store& store) {
    QMap<QString, QPair<qint64, qint64>> met;
    QMap<QString, qint64> times;
    for (const History::Page& page : store.pages({}, true))
        for (qsizetype i = 0; i < page.strokes.size(); ++i) {
            const History::Stroke& s = page.strokes[i];
            const QString key = page.drill + ' ' + s.character;
            met[key].first += 1;
            met[key].second += s.wrong;
            if (i > 0)
                times[QStringLiteral("%1 %2 ms").arg(key).arg((s.ms + 5) / 10 * 10)] += 1;
        }
    return totalsAsLines(met, times);
}

// Runs body with file access checked as an ordinary user, so that a root test run meets the
// file modes a pupil meets.
void asPupil(const std::function<void()>& body) {
    const bool root = geteuid() == 0;
    if (root)
        setfsuid(65534);
    body();
    if (root)
        setfsuid(0);
}

int modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// Fills the disk that holds folder up to its last block.
void fillDisk(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder + "/filler").constData(),
                          O_WRONLY | O_CREAT | O_APPEND, 0600);
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), block.size()) > 0) {
    }
    ::close(fd);
}

}  // namespace

class HistoryTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir home;
    std::unique_ptr<Program> program;
    QStringList messages;
    QByteArray brokenBytes = QByteArray(8192, 'x');

    QString historyPath() const { return home.filePath("qorvex/history.sqlite3"); }

    // Types the five-line page of "课程练习[&5]" with one wrong character first; commit k comes
    // at tick 1000 + 100 k.
    Result typeTextPage() {
        return finishPage([] {
            tick = 1000;
            TextDrillPupil::preedit(QStringLiteral("qa"));
            TextDrillPupil::commit(QStringLiteral("错"));
            // A phrase whose first character is wrong is a wrong attempt too, though its last
            // character stands where the line has it.
            TextDrillPupil::commit(QStringLiteral("错") + line(1).at(1));
            int k = 1;
            for (int n = 1; n <= 5; ++n)
                for (const QChar c : line(n)) {
                    tick = 1000 + 100 * k++;
                    if (k == 3)  // the second character, typed with its code showing
                        TextDrillPupil::preedit(QStringLiteral("wq"));
                    TextDrillPupil::commit(QString(c));
                }
        });
    }

  private slots:
    void initTestCase() {
        QVERIFY(home.isValid());
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        qputenv("XDG_CACHE_HOME", home.filePath("cache").toLocal8Bit());
        QVERIFY(QDir().mkpath(home.filePath("qorvex")));
        QFile broken(historyPath());
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(brokenBytes);
        broken.close();
        History::Store::setMessageSink([this](const QString& m) { messages << m; });
        program = std::make_unique<Program>();
    }
    void cleanupTestCase() {
        program.reset();
        History::Store::setMessageSink({});
    }

    void pagesOfThreeDrillsLandAndSurviveRestart() {
        Result text;
        visit(QStringLiteral("N51"), [&] { text = typeTextPage(); });
        QCOMPARE(text.shown, 1);
        QCOMPARE(frmTest->H1->text(), QString());
        QCOMPARE(frmTest->BC1->text(), QString());

        // The broken file was put aside whole, once, and practice went on in a new one.
        QCOMPARE(messages.size(), 1);
        const QString aside =
            historyPath() + ".broken-" + QDate::currentDate().toString("yyyyMMdd");
        QVERIFY2(messages[0].contains(aside), qPrintable(messages[0]));
        QCOMPARE(digest(aside), QCryptographicHash::hash(brokenBytes, QCryptographicHash::Sha256));
        // The journal was folded back into the file once the pupil was idle again: what is
        // left is a page of the file at most (the page's own writes took several).
        QVERIFY(QFileInfo::exists(historyPath() + "-wal"));
        QVERIFY(QFileInfo(historyPath() + "-wal").size() < 8192);

        FingerPupil::Result finger;
        QString keys;
        uint32_t clock = 0;
        TickCount::setSource([&clock] { return clock += 7; });
        QVERIFY(FingerPupil::openLesson(124, [&] {
            keys = frmTT->Label1->text() + frmTT->Label2->text() + frmTT->Label3->text() +
                   frmTT->Label4->text();
            FingerPupil::type(QStringLiteral("1"));  // wrong, then overtyped
            finger = FingerPupil::finishPage(keys);
        }));
        QVERIFY(finger.shown);
        QCOMPARE(frmTT->BC1->text(), QString());

        RootPupil::setClock(5000);
        RootPupil::showDrill(31, 0, [] {
            RootPupil::whenShown(frmTime, [] { QTest::keyClick(frmTime, Qt::Key_Return); });
            RootPupil::press(Qt::Key_Up);
            RootPupil::type(RootPupil::wrongLetter());
            RootPupil::finishAtBox28();
        });
        QCOMPARE(frmwbTest1->BC1->text(), QString());
        TickCount::setSource([] { return tick; });

        // A new store on the same file reads what the program wrote, as the next run will.
        History::Store again(historyPath());
        const QList<History::Page> pages = again.pages({}, true);
        QCOMPARE(pages.size(), 3);

        const History::Page& t = pages[0];
        QCOMPARE(t.drill, History::kText);
        QCOMPARE(t.lesson, QStringLiteral("课程练习[&5]"));
        QCOMPARE(t.rangeFirst, 29);
        QCOMPARE(t.rangeSecond, 5);
        QCOMPARE(t.pageNo, 1);
        QCOMPARE(t.ms, 15400);  // from the first right character (tick 1100) to the last (16500)
        QCOMPARE(t.amount, 300);
        QCOMPARE(t.speedText, text.speed);
        QCOMPARE(t.speedText, QStringLiteral("每分钟1200个"));
        QCOMPARE(t.strokes.size(), 155);  // five lines of 31 characters
        QString typed;
        for (const History::Stroke& s : t.strokes) typed += s.character;
        QCOMPARE(typed, longRow(29) + longRow(30) + longRow(31) + longRow(32) + longRow(33));
        QCOMPARE(t.strokes[0].wrong, 2u);
        // What came out instead, in order, and the codes shown before each commit.
        QCOMPARE(t.strokes[0].wrongs,
                 QStringList({QStringLiteral("错"), QStringLiteral("错") + line(1).at(1)}));
        QCOMPARE(t.strokes[0].code, QString());
        QCOMPARE(t.strokes[1].code, QStringLiteral("wq"));
        QCOMPARE(t.strokes[2].code, QString());
        QVERIFY(t.strokes[1].hinted);
        QCOMPARE(t.strokes[0].ms, 0u);
        QCOMPARE(t.strokes[1].ms, 100u);
        QCOMPARE(t.strokes[31].ms, 100u);  // the first of line 2
        QCOMPARE(t.strokes[154].wrong, 0u);
        QVERIFY(qAbs(t.at.secsTo(QDateTime::currentDateTimeUtc())) < 600);
        QCOMPARE(t.at.timeSpec(), Qt::UTC);

        const History::Page& f = pages[1];
        QCOMPARE(f.drill, History::kFinger);
        QCOMPARE(f.lesson, QStringLiteral("基准键[&A]"));
        QCOMPARE(f.rangeFirst, 124);
        QCOMPARE(f.pageNo, 1);
        QCOMPARE(f.amount, keys.size());
        QCOMPARE(f.speedText, finger.speed);
        QCOMPARE(PageTiming::timeText(f.ms), finger.time);
        QCOMPARE(f.strokes.size(), keys.size());
        QCOMPARE(f.strokes[0].wrong, 1u);
        QCOMPARE(f.strokes[0].wrongs, QStringList{QStringLiteral("1")});  // the key hit instead
        QCOMPARE(f.strokes[0].ms, 0u);
        QVERIFY(f.strokes[1].ms > 0);

        const History::Page& r = pages[2];
        QCOMPARE(r.drill, History::kRoot);
        QCOMPARE(r.lesson, QStringLiteral("笔划规律[&P]"));
        QCOMPARE(r.rangeFirst, 31);
        QCOMPARE(r.rangeSecond, 0);
        QCOMPARE(r.ms, 0);  // begun and finished by box 28's one answer
        QCOMPARE(r.amount, 28);
        QCOMPARE(r.errors, 27);  // boxes 1 to 27 left empty
        QCOMPARE(r.speedText, QStringLiteral("每分钟:1680个"));
        QCOMPARE(r.strokes.size(), 28);  // one per item, the wrong letter given for item 28
        QCOMPARE(r.strokes[27].wrongs, QStringList{QStringLiteral("z")});
        QCOMPARE(r.strokes[0].wrongs, QStringList());
        QCOMPARE(messages.size(), 1);
    }

    // Another qorvex holds the file: the page waits in memory and goes with the next one.
    void lockedHistoryHoldsPagesBack() {
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(historyPath()).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
        messages.clear();
        Result locked;
        visit(QStringLiteral("N51"), [&] { locked = typeTextPage(); });
        QCOMPARE(locked.shown, 1);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains("另一个 qorvex"), qPrintable(messages[0]));
        QCOMPARE(History::Store::instance().heldBack(), 1);
        sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
        sqlite3_close(other);

        // Leaving the drill is an idle moment: the held page goes then.
        visit(QStringLiteral("N51"), [] {});
        QCOMPARE(History::Store::instance().heldBack(), 0);
        QCOMPARE(History::Store(historyPath()).pages(History::kText).size(), 2);
        QCOMPARE(messages.size(), 1);
    }

    void readOnlyAndUnreadableFilesAreLeftAlone_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("read-only") << 0444;
        QTest::newRow("unreadable") << 0;
    }
    // The pages go to a leftover file at exit, and the next run, which may write the file
    // again, adds them to it.
    void readOnlyAndUnreadableFilesAreLeftAlone() {
        QFETCH(int, mode);
        QTemporaryDir folder;
        const QString path = folder.filePath("history.sqlite3");
        History::Store(path).record(somePage(1));
        QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x7777));
        const QByteArray before = digest(path);
        QVERIFY(!before.isEmpty());
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
        // Made after the second page, so that it is the later one on a slow machine too.
        const auto thirdPage = [] {
            History::Page third = somePage(3);
            for (History::Stroke& s : third.strokes)  // as the drills record them
                s.wrongs = QStringList(s.wrong, QStringLiteral("土"));
            third.strokes[1].code = QStringLiteral("fbg");
            return third;
        };
        messages.clear();
        asPupil([&] {
            History::Store store(path);
            QVERIFY(!store.record(somePage(2)));
            QVERIFY(!store.record(thirdPage()));
            QCOMPARE(store.heldBack(), 2);
            QVERIFY(store.statusText().contains(path));
        });
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(digest(path), before);
        QCOMPARE(QDir(folder.path()).entryList({"*-wal", "*-shm", "*-journal"}, QDir::Files),
                 QStringList());
        const QStringList leftovers = History::Leftovers::find(path);
        QCOMPARE(leftovers.size(), 1);
        QCOMPARE(messages.size(), 2);
        QVERIFY2(messages[1].contains("有 2 页") && messages[1].contains(leftovers[0]),
                 qPrintable(messages[1]));

        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0600) == 0);
        History::Store next(path);
        const QList<History::Page> pages = next.pages({}, true);
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages[2].speedText, somePage(3).speedText);
        QCOMPARE(pages[2].strokes[1].character, QStringLiteral("地"));
        QCOMPARE(pages[2].strokes[1].ms, 480u);
        QCOMPARE(pages[2].strokes[1].code, QStringLiteral("fbg"));
        QCOMPARE(pages[2].strokes[0].wrongs, QStringList({"土", "土"}));
        QCOMPARE(History::Leftovers::find(path), QStringList());
        QCOMPARE(messages.size(), 2);
    }

    // A data folder the pupil may not write: told once in their words with the file's name,
    // and the record window can say why the history is empty.
    void unwritableDataFolderIsToldWhy() {
        QTemporaryDir folder;
        QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0555) == 0);
        const QString path = folder.filePath("qorvex/history.sqlite3");
        messages.clear();
        asPupil([&] {
            History::Store store(path);
            QVERIFY(store.lessons().isEmpty());
            QVERIFY(store.pages().isEmpty());
            QVERIFY2(
                store.statusText().contains(path) && store.statusText().contains("没有读写的权限"),
                qPrintable(store.statusText()));
        });
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path) && messages[0].contains("没有读写的权限"),
                 qPrintable(messages[0]));
    }

    // A real disk that fills: pages wait in memory and go once there is room; those still
    // waiting at exit are kept for the next run; the pupil is told once, in their words.
    void diskThatFillsWhileRecording() {
        QTemporaryDir folder;
        const QString disk = folder.filePath("disk");
        QVERIFY(QDir().mkpath(disk));
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP(
                "a small disk of its own needs a private mount namespace and the right to "
                "mount tmpfs (root, or CAP_SYS_ADMIN)");
        const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(disk), MNT_DETACH); });
        const QString path = disk + "/qorvex/history.sqlite3";
        messages.clear();
        {
            History::Store store(path);
            QVERIFY(store.record(somePage(1)));
            fillDisk(disk);
            QVERIFY(!store.record(somePage(2)));
            QVERIFY(!store.record(somePage(3)));
            QCOMPARE(store.heldBack(), 2);
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].contains(path) && messages[0].contains("磁盘已满"),
                     qPrintable(messages[0]));

            QVERIFY(QFile::remove(disk + "/filler"));
            store.idle();
            QCOMPARE(store.heldBack(), 0);

            fillDisk(disk);
            for (int n = 4; n <= 6; ++n) QVERIFY(!store.record(somePage(n)));
            store.finish();
        }
        QCOMPARE(messages.size(), 2);
        const QStringList leftovers = History::Leftovers::find(path);
        QCOMPARE(leftovers.size(), 1);
        QVERIFY(leftovers[0].startsWith(home.filePath("cache/qorvex/")));
        QVERIFY2(messages[1].contains("有 3 页") && messages[1].contains("磁盘已满") &&
                     messages[1].contains(leftovers[0]),
                 qPrintable(messages[1]));

        QVERIFY(QFile::remove(disk + "/filler"));
        {
            History::Store next(path);
            QCOMPARE(next.pages().size(), 6);
        }
        QCOMPARE(History::Leftovers::find(path), QStringList());

        // A history that cannot even be made says why in the pupil's words, with its name.
        fillDisk(disk);
        messages.clear();
        const QString fresh = disk + "/other/history.sqlite3";
        QVERIFY(!History::Store(fresh).record(somePage(1)));
        QVERIFY2(messages[0].contains(fresh) && messages[0].contains("磁盘已满") &&
                     !messages[0].contains("rollback"),
                 qPrintable(messages[0]));
        for (const QString& leftover : History::Leftovers::find(fresh)) QFile::remove(leftover);
    }

    // Under umask 022 the folder the history makes is 0700 and the history and its journal
    // files 0600; a wider existing history or folder is narrowed; a history that is a link is
    // used where it points, and its target's mode is left as its owner gave it.
    void historyIsThePupilsAlone() {
        const mode_t umaskBefore = ::umask(022);
        const auto restore = qScopeGuard([&] { ::umask(umaskBefore); });
        QTemporaryDir folder;
        const QString path = folder.filePath("share/qorvex/history.sqlite3");
        History::Store store(path);
        QVERIFY(store.record(somePage(1)));
        QCOMPARE(modeOf(folder.filePath("share")), 0700);
        QCOMPARE(modeOf(folder.filePath("share/qorvex")), 0700);
        for (const char* suffix : {"", "-wal", "-shm"}) QCOMPARE(modeOf(path + suffix), 0600);

        const QString older = folder.filePath("older/history.sqlite3");
        QVERIFY(QDir().mkpath(folder.filePath("older")));
        QVERIFY(::chmod(QFile::encodeName(folder.filePath("older")).constData(), 0755) == 0);
        History::Store(older).record(somePage(1));
        QVERIFY(::chmod(QFile::encodeName(older).constData(), 0644) == 0);
        QVERIFY(History::Store(older).record(somePage(2)));
        QCOMPARE(modeOf(older), 0600);
        QCOMPARE(modeOf(folder.filePath("older")), 0700);

        const QString target = folder.filePath("elsewhere.sqlite3");
        QVERIFY(QFile::copy(older, target));
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0644) == 0);
        const QString linked = folder.filePath("linked/history.sqlite3");
        QVERIFY(QDir().mkpath(folder.filePath("linked")));
        QVERIFY(QFile::link(target, linked));
        History::Store through(linked);
        QVERIFY(through.record(somePage(3)));
        QCOMPARE(through.pages().size(), 3);
        QCOMPARE(modeOf(target), 0644);
    }

    // With neither HOME nor XDG_DATA_HOME set the history goes to the account's home folder,
    // never the root folder, and the pupil is told where once.
    void historyWithoutHomeIsNotInTheRootFolder() {
        const QByteArray data = qgetenv("XDG_DATA_HOME"), homeVariable = qgetenv("HOME");
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("HOME");
        const History::Place place = History::defaultPlace();
        qputenv("XDG_DATA_HOME", data);
        qputenv("HOME", homeVariable);
        const QString account = QFile::decodeName(::getpwuid(::getuid())->pw_dir);
        QCOMPARE(place.path, account + "/.local/share/qorvex/history.sqlite3");
        QVERIFY2(place.note.contains(place.path), qPrintable(place.note));

        // Nowhere at all: pages stay in memory, told once.
        messages.clear();
        History::Store nowhere({}, QStringLiteral("只留在内存中"));
        QVERIFY(!nowhere.record(somePage(1)));
        QVERIFY(!nowhere.record(somePage(2)));
        nowhere.finish();
        QCOMPARE(messages, QStringList{"只留在内存中"});
    }

    // The running totals agree with the pages whether or not the newest are summed up yet, a sum
    // that fails leaves them as they were, and a file from before them gets them from its
    // strokes.
    void totalsAgreeWithPagesAndOlderFilesGetThem() {
        QTemporaryDir folder;
        const QString path = folder.filePath("history.sqlite3");
        auto through = [&] { return HistoryFile::number(path, "SELECT through FROM summed;"); };
        QRandomGenerator random(5);
        auto record = [&](History::Store& store, int n) {
            History::Page page = somePage(n);
            page.drill = n % 3 ? History::kText : History::kFinger;
            page.strokes.clear();
            for (int k = 0; k < 40; ++k)
                page.strokes.append({QString(QChar(u"工地在要国a"[random.bounded(6)])),
                                     random.bounded(2000u), random.bounded(4u)});
            QVERIFY(store.record(page));
        };
        messages.clear();
        {
            History::Store store(path);
            for (int n = 1; n <= 4; ++n) record(store, n);
            // Neither finishing a page nor reading the totals sums the page up.
            const QStringList four = totalsIn(store);
            QVERIFY(four.size() > 12);
            QCOMPARE(four, totalsOfStrokes(store));
            QCOMPARE(through(), 0);
            QVERIFY(store.sumUp());
            QCOMPARE(through(), 4);
            QCOMPARE(totalsIn(store), four);

            // Another qorvex holds the file: the newest pages are counted from their strokes.
            record(store, 5);
            sqlite3* other = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr), SQLITE_OK);
            QVERIFY(!store.sumUp());
            QCOMPARE(totalsIn(store), totalsOfStrokes(store));
            sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
            sqlite3_close(other);
            QCOMPARE(through(), 4);

            // A sum that fails part-way leaves the totals and the mark as they were.
            QCOMPARE(HistoryFile::execute(path,
                                          "CREATE TRIGGER refuse BEFORE INSERT ON times"
                                          " BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
                     SQLITE_OK);
            History::Page page = somePage(6);
            page.strokes.append({QStringLiteral("新"), 999, 0});
            QVERIFY(store.record(page));
            QVERIFY(!store.sumUp());
            QCOMPARE(through(), 4);
            const QStringList six = totalsIn(store);
            QVERIFY(six.contains(QStringLiteral("text 新 1000 ms x1")));
            QCOMPARE(six, totalsOfStrokes(store));
            QCOMPARE(HistoryFile::execute(path, "DROP TRIGGER refuse;"), SQLITE_OK);
            record(store, 7);
        }
        QCOMPARE(through(), 7);  // summed up as the store closed
        QCOMPARE(messages.size(), 0);

        // The file as the first version wrote it: no totals, user_version 1.
        QCOMPARE(HistoryFile::backTo(path, 1), SQLITE_OK);
        History::Store older(path);
        QCOMPARE(totalsIn(older), totalsOfStrokes(older));
        QCOMPARE(through(), 0);
        QVERIFY(older.sumUp());
        QCOMPARE(through(), 7);
        QCOMPARE(totalsIn(older), totalsOfStrokes(older));

        // A long run of pages left unsummed (a program killed day after day) is summed when read.
        for (int n = 8; n < 300; ++n) QVERIFY(older.record(somePage(n)));
        QCOMPARE(totalsIn(older), totalsOfStrokes(older));
        QCOMPARE(through(), 299);
    }

    // Removing a page, summed up or not, or a whole lesson takes its strokes out of the totals.
    void removedPagesLeaveTheTotals() {
        QTemporaryDir folder;
        History::Store store(folder.filePath("history.sqlite3"));
        auto record = [&](const QString& lesson, int n, const QString& only) {
            History::Page page = somePage(n);
            page.lesson = lesson;
            page.strokes.append({only, 310, 1});
            for (History::Stroke& s : page.strokes)  // as the drills record them
                s.wrongs = QStringList(s.wrong, QStringLiteral("错"));
            page.strokes.last().code = QStringLiteral("gggg");
            QVERIFY(store.record(page));
        };
        // What the confusion and code totals say of the characters each page adds.
        auto detailTotals = [&] {
            QStringList seen;
            store.forEachConfusion(History::kText, [&](QStringView w, QStringView t, qint64 n) {
                if (t == u"错" && w != u"工")
                    seen << w.toString() + " for " + QString::number(n);
            });
            store.forEachCodeAttempt([&](QStringView c, QStringView code, qint64 n) {
                if (code == u"gggg")
                    seen << c.toString() + " coded " + QString::number(n);
            });
            seen.sort();
            return seen;
        };
        record(QStringLiteral("甲"), 1, QStringLiteral("一"));
        record(QStringLiteral("甲"), 2, QStringLiteral("二"));
        record(QStringLiteral("乙"), 3, QStringLiteral("三"));
        QVERIFY(store.sumUp());
        record(QStringLiteral("甲"), 4, QStringLiteral("四"));  // not summed up yet
        const QList<History::Store::PageMark> pages = store.marks(History::kText, "甲");
        QCOMPARE(pages.size(), 3);
        QVERIFY(store.removePage(pages[1].id));
        QVERIFY(store.removePage(pages[2].id));
        QStringList totals = totalsIn(store);
        QCOMPARE(totals, totalsOfStrokes(store));
        QVERIFY(!totals.join('\n').contains(u'二') && !totals.join('\n').contains(u'四'));
        QVERIFY(totals.contains(QStringLiteral("text 工 met 2 wrong 4")));
        QCOMPARE(detailTotals(), QStringList({"一 coded 1", "一 for 1", "三 coded 1", "三 for 1"}));
        QVERIFY(store.removeLesson(History::kText, "乙"));
        QVERIFY(store.sumUp());
        totals = totalsIn(store);
        QCOMPARE(totals, totalsOfStrokes(store));
        QVERIFY(totals.contains(QStringLiteral("text 工 met 1 wrong 2")));
        QCOMPARE(detailTotals(), QStringList({"一 coded 1", "一 for 1"}));
        QCOMPARE(store.lessons().size(), 1);
        QCOMPARE(store.firstRecorded(), pages[0].at);
    }

    // A page's measures go with it: a page written after it, which may take its number, has its
    // own or none.
    void measuresGoWithTheirPage() {
        QTemporaryDir folder;
        History::Store store(folder.filePath("history.sqlite3"));
        History::Page page = somePage(1);
        page.measures.characters = 2;
        page.measures.keys = 5;
        QVERIFY(store.record(page));
        QVERIFY(store.removePage(store.marks(History::kText, page.lesson).last().id));
        QVERIFY(store.record(somePage(2)));
        int measured = 0;
        store.forEachMeasured(History::kText,
                              [&](qint64, qint64, const History::Measures&) { ++measured; });
        QCOMPARE(measured, 0);
    }

    // A file of version 3, where each text was also in an index, keeps every page, detail and
    // total, finds its texts again and gives the index's room back.
    void version3FileKeepsEverythingAndShrinks() {
        QTemporaryDir folder;
        const QString path = folder.filePath("history.sqlite3");
        const QString common = QStringLiteral("的一是在不了有和人这中大为上个国我以要他时来用们");
        auto text = [&](int n) {  // a text of its own for each page
            QRandomGenerator random(n);
            QString t;
            for (int k = 0; k < 60; ++k) t += common[random.bounded(int(common.size()))];
            return t;
        };
        QStringList pages, details;
        {
            History::Store store(path);
            for (int n = 0; n < 300; ++n)
                QVERIFY(store.record(HistoryFile::page(n % 4 ? History::kText : History::kFinger,
                                                       1700000000000 + n * 60000, text(n), n)));
            QVERIFY(store.sumUp());
            pages = HistoryFile::contents(store);
            details = HistoryFile::details(store);
        }
        QCOMPARE(HistoryFile::backTo(path, 3), SQLITE_OK);
        QCOMPARE(HistoryFile::execute(path, "VACUUM;"), SQLITE_OK);
        const qint64 before = QFileInfo(path).size();
        const qint64 texts = HistoryFile::number(path, "SELECT count(*) FROM texts;");
        {
            History::Store store(path);
            QCOMPARE(HistoryFile::contents(store), pages);
            QCOMPARE(HistoryFile::details(store), details);
            QVERIFY(store.record(HistoryFile::page(History::kText, 1800000000000, text(1), 1)));
        }
        QCOMPARE(HistoryFile::number(path, "SELECT count(*) FROM texts;"), texts);
        QVERIFY2(QFileInfo(path).size() < before * 0.9,
                 qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(QFileInfo(path).size())));
    }

    // The file format: strokes packed and unpacked, a newer schema left untouched.
    void strokesRoundTripAndNewerSchemaIsLeftAlone() {
        const QList<History::Stroke> strokes = {
            {"工", 0, 0}, {"a", 127, 3}, {"地", 5000000, 17}, {"𠀀", 1, 2}};
        QString characters;
        for (const auto& s : strokes) characters += s.character;
        const QList<History::Stroke> back =
            History::unpack(characters, History::packTimes(strokes));
        QCOMPARE(back.size(), strokes.size());
        for (int i = 0; i < strokes.size(); ++i) {
            QCOMPARE(back[i].character, strokes[i].character);
            QCOMPARE(back[i].ms, strokes[i].ms);
            QCOMPARE(back[i].wrong, strokes[i].wrong);
        }

        QTemporaryDir folder;
        const QString path = folder.filePath("history.sqlite3");
        History::Store(path).record(somePage(1));
        QCOMPARE(HistoryFile::execute(path, "PRAGMA user_version = 99;"), SQLITE_OK);
        const QByteArray before = digest(path);
        messages.clear();
        History::Store newer(path);
        QVERIFY(!newer.record(somePage(2)));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(digest(path), before);

        // A wrong count, a time and a total read from the file are held to what a page can hold.
        History::Page odd = somePage(3);
        odd.strokes[0].wrong = 4294967295u;
        QTemporaryDir other;
        const QString oddPath = other.filePath("history.sqlite3");
        {
            History::Store store(oddPath);
            QVERIFY(store.record(odd));
            QVERIFY(store.sumUp());
        }
        QCOMPARE(HistoryFile::execute(oddPath,
                                      "UPDATE pages SET ms = 9200000000000000000;"
                                      "INSERT INTO confusions VALUES ('text', '工', '土', "
                                      "-9000000000000000000);"),
                 SQLITE_OK);
        History::Store store(oddPath);
        const History::Page read = store.pages({}, true).constFirst();
        QCOMPARE(read.strokes[0].wrong, History::kMostWrong);
        QCOMPARE(read.ms, History::kLongestMs);
        store.forEachConfusion(History::kText, [](QStringView, QStringView, qint64 n) {
            QVERIFY(n >= 0 && n <= History::kMostTotal);
        });
        store.forEachTotal(History::kText, [](QStringView, qint64, qint64 wrong) {
            QVERIFY(wrong <= History::kMostWrong);
        });
    }

    // A file whose tables another program changed is put aside, told once, and its pages go on
    // in a new file.
    void aHistoryWhoseTablesWereChangedIsPutAside_data() {
        QTest::addColumn<QByteArray>("change");
        QTest::newRow("codes dropped") << QByteArray("DROP TABLE codes;");
        QTest::newRow("totals dropped") << QByteArray("DROP TABLE summed; DROP TABLE tallies;");
        QTest::newRow("pages a view") << QByteArray(
            "ALTER TABLE pages RENAME TO kept; CREATE VIEW pages AS SELECT * FROM kept;");
        QTest::newRow("a trigger") << QByteArray(
            "CREATE TRIGGER wipe AFTER INSERT ON pages BEGIN DELETE FROM pages; END;");
    }
    void aHistoryWhoseTablesWereChangedIsPutAside() {
        QFETCH(QByteArray, change);
        QTemporaryDir folder;
        const QString path = folder.filePath("history.sqlite3");
        const auto pageAt = [](int n) {
            History::Page p = somePage(n);
            p.at = p.at.addSecs(-60 * n);  // each page at a time of its own
            return p;
        };
        {
            History::Store store(path);
            for (int n = 1; n <= 3; ++n) QVERIFY(store.record(pageAt(n)));
        }
        QCOMPARE(HistoryFile::execute(path, change.constData()), SQLITE_OK);
        messages.clear();
        {
            History::Store store(path);
            QVERIFY(store.record(somePage(4)));
            QCOMPARE(store.pages().size(), 4);
            QCOMPARE(store.pages({}, true)[0].strokes[0].wrong, 2u);
        }
        QCOMPARE(History::Store(path).pages().size(), 4);
        const QStringList aside =
            QDir(folder.path()).entryList({"history.sqlite3.broken-????????"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(aside[0]) && messages[0].contains("3 页"),
                 qPrintable(messages[0]));
    }

    // A leftover file that cannot be read is told once and moved out of the way; one that is a
    // link to a pipe is never waited on.
    void damagedLeftoverFilesAreToldAndMovedAside() {
        QTemporaryDir folder;
        const QString path = folder.filePath("history.sqlite3");
        const QString cache = home.filePath("cache/qorvex/");
        QVERIFY(QDir().mkpath(cache));
        const QString damaged = cache + "history.sqlite3.unsaved-1-1.json";
        const QString piped = cache + "history.sqlite3.unsaved-2-1.json";
        QFile garbage(damaged);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("{\"history\": ");
        garbage.close();
        QVERIFY(::mkfifo(QFile::encodeName(folder.filePath("pipe")).constData(), 0600) == 0);
        QVERIFY(QFile::link(folder.filePath("pipe"), piped));
        std::signal(SIGPIPE, SIG_IGN);
        // Lets a reader that waits on the pipe go after a few seconds.
        std::thread writer([name = QFile::encodeName(folder.filePath("pipe"))] {
            for (int i = 0; i < 30; ++i, ::usleep(100000))
                if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                    ::usleep(3000000);
                    ::close(fd);
                    return;
                }
        });
        messages.clear();
        QElapsedTimer clock;
        clock.start();
        {
            History::Store store(path);
            QVERIFY(store.record(somePage(1)));
        }
        const qint64 took = clock.elapsed();
        writer.join();
        QVERIFY2(took < 2000, qPrintable(QString::number(took)));
        QVERIFY(QFileInfo::exists(damaged + ".damaged"));
        QVERIFY(QFileInfo(piped + ".damaged").isSymLink());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(damaged) || messages[0].contains(piped),
                 qPrintable(messages[0]));
        for (const QString& name : QDir(cache).entryList({"*.damaged"}, QDir::Files))
            QFile::remove(cache + name);
    }

    // A logout's signal while pages are held: they go to the leftover file before the end.
    void aSignalKeepsTheHeldPages() {
        QTemporaryDir folder;
        const QString path = folder.filePath("signalled.sqlite3");
        History::Store(path).record(somePage(1));
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
        History::Store store(path);
        QVERIFY(!store.record(somePage(2)));
        QVERIFY(!store.record(somePage(3)));
        int ended = 0;
        ExitSignals::install([&](int signal) {
            store.finish();
            ended = signal;
        });
        ::raise(SIGHUP);
        QTRY_COMPARE(ended, SIGHUP);
        sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(History::Leftovers::find(path).size(), 1);
        QCOMPARE(History::Store(path).pages().size(), 3);
    }

    // A store that closes as the program ends (the display gone) tells on the terminal: a box
    // could not open.
    void aStoreClosingAtTheEndTellsOnTheTerminal() {
        QTemporaryDir folder;
        QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0555) == 0);
        const QString path = folder.filePath("h/history.sqlite3");
        const qsizetype boxes = program->app->errors.size();
        asPupil([&] {
            auto store = std::make_unique<History::Store>(path);
            QVERIFY(!store->record(somePage(1)));
            History::Store::setMessageSink({});
            store.reset();
            History::Store::setMessageSink([this](const QString& m) { messages << m; });
        });
        QCOMPARE(program->app->errors.size(), boxes);
        for (const QString& leftover : History::Leftovers::find(path)) QFile::remove(leftover);
    }
};

QTEST_MAIN(HistoryTest)
#include "test_history.moc"
