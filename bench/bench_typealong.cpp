// The 跟打 window's costs on the built course (<build>/drive, its words.txt): the ideal code
// length of a 10,000-character text (goal ≤ 30 ms), one input-method commit with the live line
// (goal p99 ≤ 1 ms) and opening the window on a 1 MB text file to its first frame (goal ≤ 300 ms).
//
//   xvfb-run -a bench_typealong [commits]     (QORVEX_BUILT_DRIVE overrides <build>/drive)
#include <QInputMethodEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "bench/builtdrive.h"
#include "drills/typingbox.h"
#include "platform/tickcount.h"
#include "progress/wordtable.h"
#include "tools/CGenda.h"

namespace {

// Words of the table picked at random, a mark after every dozen characters or so.
QString textOf(const QStringList& words, int characters) {
    QRandomGenerator random(11);
    const QString marks = QStringLiteral("，。、；！？");
    QString text;
    while (text.size() < characters) {
        text += words[random.bounded(int(words.size()))];
        if (random.bounded(6) == 0)
            text += marks[random.bounded(int(marks.size()))];
    }
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
    // Opening on a 1 MB file: the first opening also reads words.txt and lays out the first
    // section.
    const QString prose = textOf(wordsOf(words), 600);
    const QString path = home.filePath("prose.txt");
    {
        QFile file(path);
        const QByteArray line = prose.toUtf8() + "\n";
        file.open(QIODevice::WriteOnly);
        file.write(line.repeated(1024 * 1024 / line.size() + 1));
    }
    QList<qint64> openings;
    for (int i = 0; i < 6; ++i) {
        clock.start();
        TfrmGenda* window = TfrmGenda::window();  // made at the first opening
        FrameWatch watch(window, clock);
        TfrmGenda::showFile(path);  // returns when the watch has closed it after its first frame
        openings << watch.ns;
    }
    std::printf("opening on a 1 MB file to the first frame: first %.1f ms\n", openings[0] / 1e6);
    print("  later openings", openings.mid(1));

    clock.start();
    const WordTable table = WordTable::read(words);
    std::printf("reading words.txt again: %.1f ms\n", clock.nsecsElapsed() / 1e6);
    const QString text = textOf(wordsOf(words), 10000);
    QList<qint64> ideal;
    int keys = 0;
    for (int i = 0; i < 30; ++i) {
        clock.start();
        keys = table.ideal(text).keys;
        ideal << clock.nsecsElapsed();
    }
    print("ideal code length, 10,000 characters", ideal);
    std::printf("  %d keys, %.3f a character\n", keys, double(keys) / text.size());

    // Commits into the box in sections of the window's usual 200 characters, each after its
    // code was shown: the whole commit (the box's own layout of its line included), and the
    // live line's part of it (the measures so far and the label). The commit that ends a section
    // also writes the page into the history and the 成绩 line onto the clipboard.
    TfrmGenda* window = TfrmGenda::window();
    window->SpinBox1->setValue(200);
    window->loadText(text, QStringLiteral("bench"));
    window->show();
    window->Edit1->setFocus();
    settle(100);
    QList<qint64> whole, ends, live;
    for (int done = 0; done < commits;) {
        if (window->Edit1->isReadOnly()) {  // a section done: Enter brings the next
            QTest::keyClick(window->Edit1, Qt::Key_Return);
            continue;
        }
        const int typed = int(window->Edit1->text().size());
        const WordTable::Segment* next = nullptr;
        for (const WordTable::Segment& s : window->ideal().segments)
            if (s.from == typed)
                next = &s;
        if (!next)
            break;
        QInputMethodEvent shown(next->code.isEmpty() ? QStringLiteral("a") : next->code, {});
        QApplication::sendEvent(window->Edit1, &shown);
        QInputMethodEvent commit;
        commit.setCommitString(window->sectionText().mid(next->from, next->length));
        clock.start();
        QApplication::sendEvent(window->Edit1, &commit);
        (window->Edit1->isReadOnly() ? ends : whole) << clock.nsecsElapsed();
        clock.start();
        window->Label2->setText(window->measuresAt(TickCount::now()).liveLine());
        live << clock.nsecsElapsed();
        ++done;
    }
    print("one commit, 200-character sections", whole);
    print("  a commit that ends a section (history, clipboard)", ends);
    print("  of which the live line", live);
    // The machine's own noise: busy work of about one commit's length, timed the same way. A p99
    // far above its median here too means the time went to other processes.
    QList<qint64> busy;
    volatile quint64 sink = 0;
    for (int i = 0; i < whole.size(); ++i) {
        clock.start();
        while (clock.nsecsElapsed() < 120000) sink = sink + 1;
        busy << clock.nsecsElapsed();
    }
    print("control: 120 us of busy work", busy);
    std::printf("live line: %s\n", qPrintable(window->Label2->text()));
    if (!said.isEmpty())
        std::printf("told: %s\n", qPrintable(said.join(" | ")));
    window->hide();
    return 0;
}
