// Cost of one checked input-method commit in the text drill: the check of the typed character and
// the hint lookup of the next one with its four root pictures, on the full code table of the
// built course (<build>/drive/mavro/kzWb.DB). Prints median and 99th percentile.
//
//   bench_textdrill_commit [commits]     (QORVEX_BUILT_DRIVE overrides <build>/drive)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "app/cmavro.h"
#include "course/builder/practicetable.h"
#include "data/session.h"
#include "data/table.h"
#include "drills/Ctime.h"
#include "drills/ctest.h"
#include "drills/hintlookup.h"
#include "platform/errors.h"
#include "platform/gbk.h"

namespace {

QString builtDrive() {
    const QString set = qEnvironmentVariable("QORVEX_BUILT_DRIVE");
    return set.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath("../drive") : set;
}

// Characters of the code table that have all four root pictures, so every hint loads four.
QString fourPictureCharacters(const QString& drive, int wanted) {
    qputenv("QORVEX_DRIVE", drive.toLocal8Bit());
    TSession session;
    session.setOnPassword(Password);
    TTable table(session, QStringLiteral("Table2"));
    table.Open(QStringLiteral("\\mavro"), QStringLiteral("kzWb.DB"));
    QString found;
    // A move past the last row stays there, so the scan simply finds nothing new at the end.
    for (int row = 0; row < 5000 && found.size() < wanted; ++row) {
        const QString character = table.FieldAsString(QStringLiteral("文字"));
        if (character.size() == 1 && Gbk::canEncode(character) && !found.contains(character) &&
            !table.FieldAsPicture(QStringLiteral("Pic4")).isNull())
            found += character;
        table.MoveBy(1);
    }
    return found;
}

void commit(QWidget* box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

struct Figures {
    QList<qint64> ns;
    void print(const char* what) {
        if (ns.isEmpty())
            return;
        std::sort(ns.begin(), ns.end());
        const auto at = [&](double q) { return ns[qMin(ns.size() - 1, qsizetype(q * ns.size()))]; };
        const auto over = std::count_if(ns.begin(), ns.end(), [](qint64 t) { return t > 1000000; });
        std::printf("%-42s n=%5lld  median %7.1f us  p99 %8.1f us  max %8.1f us  over 1 ms: %lld\n",
                    what, qlonglong(ns.size()), at(0.5) / 1000.0, at(0.99) / 1000.0,
                    ns.last() / 1000.0, qlonglong(over));
    }
};

// Types line 1 again and again, one character per commit; every tenth character is first typed
// wrong (a checked commit that selects it and looks the hint up twice) and then right.
void run(int commits) {
    TypingBox* box = frmTest->boxes[0];
    const QString line = frmTest->lines[0]->text();
    Figures right, wrong, all;
    QElapsedTimer timer;
    int typed = 0;
    for (int done = 0; done < commits;) {
        if (typed == line.size() - 1) {  // stop short of finishing the line
            box->clear();
            typed = 0;
        }
        const QString next = line.mid(typed, 1);
        if (typed % 10 == 3) {
            timer.start();
            commit(box, line.mid(typed + 1, 1));
            const qint64 ns = timer.nsecsElapsed();
            wrong.ns << ns;
            all.ns << ns;
            ++done;
        }
        timer.start();
        commit(box, next);
        const qint64 ns = timer.nsecsElapsed();
        right.ns << ns;
        all.ns << ns;
        ++done;
        ++typed;
    }
    if (box->text() != line.left(typed))
        std::printf("warning: the box does not hold the typed text\n");
    if (frmTest->Label10->text().isEmpty())
        std::printf("warning: the last hint was not found\n");
    right.print("right character (check + hint)");
    wrong.print("wrong character (check, select, 2 hints)");
    all.print("all commits");
}

// A hint looked up for the first time: the table reads and picture decoding that the drill's
// memo saves on every later showing of the same character, then the table calls one group at a
// time. The pictures are made ready for the screen's density as the drill's are
// (QT_SCALE_FACTOR=2 measures a screen of twice the density).
void coldLookups(const QString& characters) {
    TTable& table = frmTest->Table2;
    HintLookup fresh(table, QSize(TfrmTest::kImageSide, TfrmTest::kImageSide));
    Figures cold, index, find, pictures, code;
    QElapsedTimer timer;
    for (const QChar c : characters) {
        const QByteArray key = Gbk::encode(QString(c));
        timer.start();
        fresh.find(key);
        cold.ns << timer.nsecsElapsed();
        timer.start();
        table.SetIndexName(QStringLiteral("WZindex"));
        index.ns << timer.nsecsElapsed();
        timer.start();
        table.FindKey(key);
        find.ns << timer.nsecsElapsed();
        timer.start();
        for (int i = 1; i <= 4; ++i) table.FieldAsPicture(QStringLiteral("Pic%1").arg(i));
        pictures.ns << timer.nsecsElapsed();
        timer.start();
        table.FieldAsString(QStringLiteral("简码"));
        code.ns << timer.nsecsElapsed();
    }
    cold.print("first lookup of a character");
    index.print("  of which: select the index");
    find.print("  of which: exact search");
    pictures.print("  of which: four pictures");
    code.print("  of which: the short code");
}

// The machine's own noise: busy work of about one commit's length, timed the same way. A p99 far
// above the median here too means the time goes to other processes, not to the drill.
void control(int samples) {
    Figures busy;
    QElapsedTimer timer;
    volatile quint64 sink = 0;
    for (int i = 0; i < samples; ++i) {
        timer.start();
        while (timer.nsecsElapsed() < 40000) sink = sink + 1;
        busy.ns << timer.nsecsElapsed();
    }
    busy.print("control: 40 us of busy work");
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int commits = argc > 1 ? QByteArray(argv[1]).toInt() : 5000;

    const QString drive = builtDrive();
    const QString codeTable = QDir(drive).filePath("mavro/kzWb.DB");
    if (!QFile::exists(codeTable)) {
        std::printf(
            "The built course's code table %s is not there yet: build the course target "
            "first (cmake --build build --target course). Nothing measured.\n",
            qPrintable(QDir::cleanPath(codeTable)));
        return 0;
    }
    const QString many = fourPictureCharacters(drive, 1000);
    const QString characters = many.left(40);
    if (characters.size() < 10) {
        std::printf("The code table %s has too few characters with four root pictures.\n",
                    qPrintable(codeTable));
        return 1;
    }

    // A drive of its own: the real code table and one practice page of those characters.
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("mavro");
    const QString mavro = QDir(dir.path()).filePath("mavro");
    QFile::copy(codeTable, QDir(mavro).filePath("kzWb.DB"));
    QList<QString> rows;
    for (int row = 0; row < 8; ++row) rows << characters;
    PracticeTable::write(QDir(mavro).filePath("111.DB"), rows);
    qputenv("QORVEX_DRIVE", dir.path().toLocal8Bit());

    QStringList errors;
    Errors::setSink([&](const QString& message) { errors << message; });
    frmmavro = new Tfrmmavro;
    frmTime = new TfrmTime;
    frmTest = new TfrmTest;
    frmTest->create();
    if (!errors.isEmpty()) {
        std::printf("%s\n", qPrintable(errors.join('\n')));
        return 1;
    }
    std::printf(
        "code table: %s (%.1f MB); line of %lld characters with four pictures each; screen "
        "ratio %g\n",
        qPrintable(QDir::cleanPath(codeTable)), QFileInfo(codeTable).size() / 1e6,
        qlonglong(characters.size()), app.devicePixelRatio());
    frmmavro->Label1->setText("1");
    frmmavro->Label2->setText("8");
    QTimer::singleShot(0, [&] {
        run(commits);
        coldLookups(many);
        control(commits);
        frmTest->reject();
    });
    frmTest->ShowModal();
    frmTest->destroyForm();
    return errors.isEmpty() ? 0 : 1;
}
