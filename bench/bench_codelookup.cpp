// Time from a change of the code box to a painted grid, on the course's full code table.
// Usage: bench_codelookup [drive folder]; the default is the build's own drive (<build>/drive).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <ctime>
#include <vector>

#include "platform/errors.h"
#include "tools/CWBFind.h"

namespace {

struct Figures {
    double filledMedian, paintedMedian, paintedBest, paintedWorst, cpuMedian;
    int rows;
};

// Processor time of this thread: what the lookup costs, apart from other programs' share of a
// busy machine.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Each round empties the box (no query below two letters), then sets the code as a paste would.
// "filled": the grid's model holds the rows; "painted": the grid has also been drawn.
Figures measure(const QString& code, int rounds) {
    std::vector<double> filled, painted, cpu;
    for (int i = 0; i < rounds; ++i) {
        frmWBfind->Edit2->clear();
        const double cpuStart = threadCpuMs();
        QElapsedTimer clock;
        clock.start();
        frmWBfind->Edit2->setText(code);
        filled.push_back(clock.nsecsElapsed() / 1e6);
        frmWBfind->DBGrid1->viewport()->repaint();
        painted.push_back(clock.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);
    }
    const auto [best, worst] = std::minmax_element(painted.begin(), painted.end());
    return {median(filled), median(painted), *best,
            *worst,         median(cpu),     frmWBfind->Query1->rowCount()};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QString drive = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                   : QDir(app.applicationDirPath()).absoluteFilePath("../drive");
    if (!QFileInfo::exists(QDir(drive).filePath("mavro/kzWb.DB"))) {
        out << "bench_codelookup: no code table at " << QDir::cleanPath(drive)
            << "/mavro/kzWb.DB; build the course (target 'course') first.\n";
        return 0;
    }
    qputenv("QORVEX_DRIVE", QDir::cleanPath(drive).toLocal8Bit());
    QStringList errors;
    Errors::setSink([&](const QString& message) { errors << message; });

    frmWBfind = new TfrmWBfind;
    frmWBfind->create();
    frmWBfind->show();
    app.processEvents();
    if (!errors.isEmpty()) {
        out << "bench_codelookup: " << errors.join('\n') << '\n';
        return 1;
    }
    measure(QStringLiteral("zzzz"), 3);  // warm the page cache
    out << "Wall-clock milliseconds from the change of the code box, medians of 40 rounds:\n"
        << "filled = rows in the grid's model, painted = grid drawn too; cpu = processor time\n"
        << "of the painted round.\n"
        << "code     rows   filled      painted      best      worst     cpu\n";
    for (const QString& code : {QStringLiteral("zzzz"), QStringLiteral("gg"), QStringLiteral("xc"),
                                QStringLiteral("wq"), QStringLiteral("tzzz")}) {
        const Figures f = measure(code, 40);
        out << qSetFieldWidth(9) << Qt::left << code << qSetFieldWidth(7) << f.rows
            << qSetFieldWidth(12) << QString::number(f.filledMedian, 'f', 2) << qSetFieldWidth(13)
            << QString::number(f.paintedMedian, 'f', 2) << qSetFieldWidth(10)
            << QString::number(f.paintedBest, 'f', 2) << qSetFieldWidth(10)
            << QString::number(f.paintedWorst, 'f', 2) << qSetFieldWidth(0)
            << QString::number(f.cpuMedian, 'f', 2) << '\n';
    }
    delete frmWBfind;
    return errors.isEmpty() ? 0 : 1;
}
