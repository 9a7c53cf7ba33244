#include "progress/textfeed.h"

#include "drills/ctest.h"

namespace TextFeed {

void show(const QString& caption, const QList<QStringList>& pages) {
    if (pages.isEmpty())
        return;
    TfrmTest::FedPage first{pages.first(), QString(), 1, int(pages.size())};
    frmTest->ShowFed(caption, first, [pages](const TfrmTest::FedPage& finished) {
        const int next = finished.number % int(pages.size());
        return TfrmTest::FedPage{pages[next], QString(), next + 1, int(pages.size())};
    });
}

void show(const QString& caption, const Made& first, std::function<Made()> next) {
    if (first.lines.isEmpty())
        return;
    frmTest->ShowFed(
        caption, {first.lines, first.heading, 1, 1}, [next](const TfrmTest::FedPage& finished) {
            const Made made = next();
            return made.lines.isEmpty() ? finished
                                        : TfrmTest::FedPage{made.lines, made.heading, 1, 1};
        });
}

QList<QStringList> paginate(const QStringList& lines) {
    QStringList drillLines;
    for (const QString& line : lines)
        for (qsizetype i = 0; i < line.size(); i += kLineLength)
            drillLines << line.mid(i, kLineLength);
    QList<QStringList> pages;
    for (qsizetype i = 0; i < drillLines.size(); i += kPageLines)
        pages << drillLines.mid(i, kPageLines);
    return pages;
}

}  // namespace TextFeed
