#include "progress/textfeed.h"

#include "drills/ctest.h"

namespace TextFeed {

namespace {
struct Feed {
    QString caption;
    QList<QStringList> pages;
    int index = 0;
    std::function<QStringList()> next{};
};
Feed& feed() {
    static Feed f;
    return f;
}
}  // namespace

void show(const QString& caption, const QList<QStringList>& pages) {
    if (pages.isEmpty())
        return;
    feed() = {caption, pages, 0};
    frmTest->ShowLines(pages.first());
    feed() = {};
}

void show(const QString& caption, const QStringList& page, std::function<QStringList()> next) {
    if (page.isEmpty())
        return;
    feed() = {caption, {page}, 0, std::move(next)};
    frmTest->ShowLines(page);
    feed() = {};
}

bool active() {
    return !feed().pages.isEmpty();
}

QString caption() {
    return feed().caption;
}

int pageIndex() {
    return feed().index;
}

int pageCount() {
    return int(feed().pages.size());
}

void pageFinished() {
    Feed& f = feed();
    if (f.next) {
        const QStringList page = f.next();
        if (!page.isEmpty()) {
            f.pages = {page};
            frmTest->loadLines(page);
        }
        return;
    }
    if (f.pages.size() < 2)
        return;  // one page is typed again, as every lesson is
    f.index = (f.index + 1) % int(f.pages.size());
    frmTest->loadLines(f.pages[f.index]);
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
