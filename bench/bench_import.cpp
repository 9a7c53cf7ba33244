// The import of a long history: writes the export of YEARS years of daily practice (20 pages a
// day: 12 text pages of 200 new characters with their codes, hints and wrong attempts, 4 finger
// pages of 160 keys, 4 root pages) to FILE, then times its import into an empty history here.
// The import's memory is read from the program itself:
//
//   bench_import 5 /tmp/five.json
//   XDG_DATA_HOME=$(mktemp -d) /usr/bin/time -v build/qorvex --import-history /tmp/five.json
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "data/history.h"
#include "platform/errors.h"
#include "progress/historyexport.h"

namespace {

const QString kCommon = QStringLiteral(
    "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子"
    "说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制"
    "机");

History::Page page(const QString& drill, const QString& lesson, const QDateTime& at,
                   const QString& text, QRandomGenerator& random) {
    History::Page p;
    p.at = at;
    p.drill = drill;
    p.lesson = lesson;
    p.rangeFirst = 1;
    p.rangeSecond = 8;
    p.pageNo = 1;
    p.ms = random.bounded(40000, 200000);
    p.amount = int(text.size()) * 2;
    p.speedText = QStringLiteral("每分钟%1个").arg(60000 * p.amount / p.ms);
    for (const QChar c : text) {
        History::Stroke s{QString(c), quint32(random.bounded(150, 2500)),
                          random.bounded(100) < 5 ? 1u : 0u};
        if (drill == History::kText) {
            for (int k = 0; k < 2 + c.unicode() % 3; ++k)
                s.code += QChar(u'a' + (c.unicode() >> (3 * k)) % 25);
            s.hinted = random.bounded(2);
        }
        if (s.wrong)
            s.wrongs << QString(kCommon[int(random.bounded(quint32(kCommon.size())))]);
        p.strokes << s;
    }
    return p;
}

void writeYears(History::Store& store, int years) {
    QRandomGenerator random(7);
    const QDateTime start = QDateTime(QDate(2020, 1, 1), QTime(8, 0), Qt::UTC);
    for (int day = 0; day < 365 * years; ++day) {
        QList<History::Page> pages;
        for (int k = 0; k < 20; ++k) {
            const QDateTime at = start.addDays(day).addSecs(k * 240);
            QString text;
            if (k < 12) {
                for (int i = 0; i < 200; ++i)
                    text += kCommon[int(random.bounded(quint32(kCommon.size())))];
                pages << page(History::kText, QStringLiteral("课程练习[&%1]").arg(1 + k % 7), at,
                              text, random);
            } else if (k < 16) {
                for (int i = 0; i < 160; ++i)
                    text += QLatin1Char("asdfjkl; ghqwertyuiop"[random.bounded(21)]);
                pages << page(History::kFinger, QStringLiteral("基准键[&A]"), at, text, random);
            } else {
                History::Page p = page(History::kRoot, QStringLiteral("五笔字根总测试[&D]"), at,
                                       QString(), random);
                p.errors = int(random.bounded(5));
                pages << p;
            }
        }
        store.merge(pages);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_import YEARS FILE\n");
        return 2;
    }
    const int years = QByteArray(argv[1]).toInt();
    const QString file = QFile::decodeName(argv[2]);
    QTemporaryDir home;
    try {
        {
            History::Store store(home.filePath("written.sqlite3"));
            writeYears(store, years);
            HistoryExport::write(store, file);
        }
        std::printf("%d years: %d pages, %.1f MiB of JSON\n", years, 365 * years * 20,
                    QFileInfo(file).size() / 1048576.0);
        History::Store fresh(home.filePath("imported.sqlite3"));
        QElapsedTimer clock;
        clock.start();
        const HistoryExport::Merged merged = HistoryExport::merge(fresh, file);
        std::printf("import into an empty history: %.2f s (%s)\n", clock.elapsed() / 1000.0,
                    qPrintable(merged.text()));
    } catch (const AppError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
