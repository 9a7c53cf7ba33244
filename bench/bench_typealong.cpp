// The 跟打 window's costs on the built course (<build>/drive, its words.txt): the ideal code
// length of a 10,000-character text (goal ≤ 30 ms), one input-method commit with the live line
// (goal p99 ≤ 1 ms) and opening the window on a 1 MB text file to its first frame (goal ≤ 300 ms).
//
//   xvfb-run -a bench_typealong [commits]     (QORVEX_BUILT_DRIVE overrides <build>/drive)
#include <QInputMethodEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>

#include "bench/builtdrive.h"
#include "drills/typingbox.h"
#include "progress/wordtable.h"
#include "tools/CGenda.h"

namespace {

// Words of the table picked at random, a mark after every dozen characters or so.
QString textOf(const WordTable& table, const QStringList& words, int characters) {
    QRandomGenerator random(11);
    const QString marks = QStringLiteral("，。、；！？");
    QString text;
    while (text.size() < characters) {
        text += words[random.bounded(int(words.size()))];
        if (random.bounded(6) == 0)
            text += marks[random.bounded(int(marks.size()))];
    }
    Q_UNUSED(table);
    return text.left(characters);
}

QStringList wordsOf(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QStringList words;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty())
            words << QString::fromUtf8(line.left(line.indexOf('\t')));
    return words;
}

void print(const char* what, QList<qint64> ns) {
    std::sort(ns.begin(), ns.end());
    const auto at = [&](double q) { return ns[qMin(ns.size() - 1, qsizetype(q * ns.size()))]; };
    std::printf("%-44s n=%5lld  median %9.3f ms  p99 %9.3f ms  max %9.3f ms\n", what,
                qlonglong(ns.size()), at(0.5) / 1e6, at(0.99) / 1e6, ns.last() / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int commits = argc > 1 ? std::max(10, QByteArray(argv[1]).toInt()) : 3000;
    const QString words = QDir(builtDrive()).filePath("mavro/words.txt");
    if (!QFile::exists(words)) {
        std::printf("The built course has no %s yet: build the course target first.\n",
                    qPrintable(words));
        return 0;
    }
    qputenv("QORVEX_DRIVE", builtDrive().toLocal8Bit());
    QStringList said;
    Errors::setSink([&said](const QString& message) { said << message; });

    QElapsedTimer clock;
    clock.start();
    const WordTable& table = WordTable::shared();
    std::printf("reading words.txt: %.1f ms\n", clock.nsecsElapsed() / 1e6);
    const QString text = textOf(table, wordsOf(words), 10000);
    QList<qint64> ideal;
    int keys = 0;
    for (int i = 0; i < 30; ++i) {
        clock.start();
        keys = table.ideal(text).keys;
        ideal << clock.nsecsElapsed();
    }
    print("ideal code length, 10,000 characters", ideal);
    std::printf("  %d keys, %.3f a character\n", keys, double(keys) / text.size());

    // Opening on a 1 MB file: the first opening reads it and lays out its first section.
    const QString path = home.filePath("prose.txt");
    {
        QFile file(path);
        const QByteArray line = text.left(600).toUtf8() + "\n";
        file.open(QIODevice::WriteOnly);
        file.write(line.repeated(1024 * 1024 / line.size() + 1));
    }
    QList<qint64> openings;
    for (int i = 0; i < 6; ++i) {
        TfrmGenda* window = TfrmGenda::window();
        FrameWatch watch(window, clock);
        clock.start();
        TfrmGenda::showFile(path);  // returns when the watch has closed it after its first frame
        openings << watch.ns;
    }
    std::printf("opening on a 1 MB file to the first frame: first %.1f ms\n", openings[0] / 1e6);
    print("  later openings", openings.mid(1));

    // Commits into the box, each after its code was shown, with the live line.
    TfrmGenda* window = TfrmGenda::window();
    window->SpinBox1->setValue(10000);
    window->loadText(text, QStringLiteral("bench"));
    window->show();
    window->Edit1->setFocus();
    settle(100);
    QList<qint64> ns;
    for (int i = 0; i < commits && i < window->ideal().segments.size(); ++i) {
        const WordTable::Segment& s = window->ideal().segments[i];
        QInputMethodEvent shown(s.code.isEmpty() ? QStringLiteral("a") : s.code, {});
        QApplication::sendEvent(window->Edit1, &shown);
        QInputMethodEvent commit;
        commit.setCommitString(text.mid(s.from, s.length));
        clock.start();
        QApplication::sendEvent(window->Edit1, &commit);
        ns << clock.nsecsElapsed();
    }
    print("one commit with the live line", ns);
    std::printf("live line: %s\n", qPrintable(window->Label2->text()));
    if (!said.isEmpty())
        std::printf("told: %s\n", qPrintable(said.join(" | ")));
    window->hide();
    return 0;
}
