// Time from a drill's menu command to the drill window's first frame, for the three drills, on
// the built course (<build>/drive) with every window created as start-up creates them. The first
// opening of each drill (it may draw pictures then) is shown apart from the later ones; the goal
// is one frame at 60 Hz, 16 ms. Run it on a desktop, for instance under xvfb-run:
//
//   xvfb-run -a bench_drillopen [openings [finger|root|text]]
//   (QORVEX_BUILT_DRIVE overrides <build>/drive)
#include <QAction>
#include <algorithm>

#include "bench/builtdrive.h"
#include "drills/CTT.h"
#include "drills/CwbTest1.h"
#include "drills/ctest.h"

namespace {

// Opens the drill by its menu command, closes it at its first frame; nanoseconds to that frame.
qint64 openOnce(const char* command, QWidget* drill) {
    QAction* action = frmmavro->findChild<QAction*>(QString::fromLatin1(command));
    QElapsedTimer clock;
    FrameWatch watch(drill, clock);
    clock.start();
    action->trigger();  // returns when the drill has closed again
    // The menu return keys open the main window's menu: let them, then close it for the next.
    settle(30);
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    settle(10);
    return watch.ns;
}

void report(const char* name, qint64 first, QList<qint64> later) {
    std::sort(later.begin(), later.end());
    const auto ms = [](qint64 ns) { return ns / 1e6; };
    std::printf("%-14s first %7.2f ms   later: median %6.2f ms  max %6.2f ms  (n=%lld)%s\n", name,
                ms(first), ms(later[later.size() / 2]), ms(later.last()), qlonglong(later.size()),
                first > 16000000 || later.last() > 16000000 ? "   over 16 ms" : "");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int openings = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 15;
    const QByteArray only = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    // As start-up does: every window, the main window shown, the held work done after its frame.
    QStringList errors;
    if (!startOnBuiltDrive("111.DB", 1500, errors))
        return 0;

    struct Drill {
        const char* name;
        const char* command;
        QWidget* window;
    };
    const Drill drills[] = {{"finger (N27)", "N27", frmTT},
                            {"root (A1)", "A1", frmwbTest1},
                            {"text (N11)", "N11", frmTest}};
    for (const Drill& drill : drills) {
        if (!only.isEmpty() && !QByteArray(drill.name).startsWith(only))
            continue;
        const qint64 first = openOnce(drill.command, drill.window);
        QList<qint64> later;
        for (int i = 0; i < openings; ++i) later << openOnce(drill.command, drill.window);
        if (first < 0 || std::count(later.begin(), later.end(), -1)) {
            std::printf("%s: the drill showed no frame\n", drill.name);
            return 1;
        }
        report(drill.name, first, later);
    }
    if (!errors.isEmpty())
        std::printf("errors:\n%s\n", qPrintable(errors.join('\n')));
    destroyWindows();
    return errors.isEmpty() ? 0 : 1;
}
