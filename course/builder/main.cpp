// mavro-build <course sources> <data directory>: turns the course sources into the data directory.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "course/builder/codetable.h"
#include "course/builder/hintcheck.h"
#include "course/builder/frequency.h"
#include "course/builder/pages.h"
#include "course/builder/practicechecks.h"
#include "course/builder/practicetable.h"
#include "course/builder/roottable.h"
#include "course/builder/tablewriter.h"
#include "course/builder/tunes.h"
#include "course/builder/wordlist.h"
#include "course/builder/wubidict.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);  // fonts and painting for the pictures
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: mavro-build <course sources> <data directory>\n");
        return 2;
    }
    const QDir course(args[1]);
    const QDir out(args[2]);
    try {
        QDir().mkpath(out.path());
        std::fputs(qPrintable(CodeTable::build(course.path(), WubiDict::defaultPath(),
                                               out.filePath("kzWb.DB"))),
                   stdout);
        const QList<WubiDict::CharCodes> dictionary = WubiDict::read(WubiDict::defaultPath());
        const QList<QString> rows = PracticeTable::readSource(course.filePath("texts/111.txt"));
        std::fputs(qPrintable(PracticeChecks::verify(rows, dictionary)), stdout);
        std::fputs(qPrintable(HintCheck::verify(dictionary)), stdout);
        PracticeTable::write(out.filePath("111.DB"), rows);
        std::fputs(qPrintable(Frequency::build(Frequency::defaultPath(), out.path())), stdout);
        std::fputs(qPrintable(RootTable::build(course.path(), dictionary, out.filePath("wb1.db"))),
                   stdout);
        std::fputs(qPrintable(WordList::write(WordList::read(WubiDict::defaultPath()),
                                              out.filePath("words.txt"))),
                   stdout);
        std::fputs(qPrintable(Pages::build(course.filePath("pages"),
                                           course.filePath("wubi/roots.txt"), out.path())),
                   stdout);
        std::fputs(qPrintable(Tunes::build(course.filePath("tunes"), out.filePath("Sound"))),
                   stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mavro-build: %s\n", e.what());
        return 1;
    }
    return 0;
}
