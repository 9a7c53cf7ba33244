// The lesson pages of the real course: every link and picture resolves, every page is reached
// from main.htm, and each page loads in the same browser widget the lesson browser uses.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

#include "course/builder/pages.h"

class CoursePagesTest : public QObject {
    Q_OBJECT

    QString mavro;

    // The link targets the browser itself sees in the shown page.
    static QStringList hrefs(const QTextDocument* document) {
        QStringList found;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isAnchor())
                    found.append(it.fragment().charFormat().anchorHref());
        found.removeDuplicates();
        return found;
    }

  private slots:
    void initTestCase() {
        mavro = qEnvironmentVariable("QORVEX_BUILT_DRIVE") + "/mavro";
        if (!QFile::exists(mavro + "/main.htm"))
            QSKIP("the course has not been built (target course)");
    }

    void everyLinkResolves() {
        const QStringList problems = Pages::linkProblems(mavro);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }

    void theLessonsTheCourseNeedsArePresent() {
        // strokes, zones and chart, mnemonics, key names, splitting, identification codes,
        // short codes, words, practice plan
        for (const char* page :
             {"bihua.htm", "zigen.htm", "koujue.htm", "jianming.htm", "chaifen.htm", "shibie.htm",
              "jianma.htm", "cizu.htm", "jihua.htm"})
            QVERIFY2(QFile::exists(mavro + "/" + page), page);
    }

    void pagesLoadInTheBrowserWithTheirPictures() {
        QTextBrowser browser;
        browser.resize(797, 505);
        QStringList queue{"main.htm"};
        QSet<QString> seen{"main.htm"};
        int pictures = 0;
        while (!queue.isEmpty()) {
            const QString page = queue.takeFirst();
            browser.setSource(QUrl::fromLocalFile(mavro + "/" + page));
            QVERIFY2(!browser.document()->toPlainText().trimmed().isEmpty(), qPrintable(page));
            QVERIFY2(browser.documentTitle().size() > 2, qPrintable(page));
            // Every picture of the page loads as an image.
            QFile file(mavro + "/" + page);
            QVERIFY(file.open(QIODevice::ReadOnly));
            static const QRegularExpression img("<img src=\"([^\"]+)\"");
            for (const auto& m : img.globalMatch(QString::fromUtf8(file.readAll()))) {
                const QVariant data =
                    browser.loadResource(QTextDocument::ImageResource, QUrl(m.captured(1)));
                QImage image;
                if (data.canConvert<QByteArray>())
                    image.loadFromData(data.toByteArray());
                QVERIFY2(!image.isNull() && image.width() <= 797,
                         qPrintable(page + ": " + m.captured(1)));
                ++pictures;
            }
            for (const QString& href : hrefs(browser.document())) {
                const QString target = href.section('#', 0, 0);
                QVERIFY2(QFile::exists(mavro + "/" + target), qPrintable(page + " -> " + href));
                if (!seen.contains(target)) {
                    seen.insert(target);
                    queue.append(target);
                }
            }
        }
        QCOMPARE(seen.size(), QDir(mavro).entryList({"*.htm"}).size());
        QVERIFY(pictures >= 2);
    }

    void aBrokenLinkOrAnOrphanPageIsReported() {
        QTemporaryDir dir;
        const auto write = [&](const QString& name, const QByteArray& text) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        };
        write("main.htm",
              "<a href=\"a.htm#top\">a</a> <a href=\"gone.htm\">x</a> "
              "<img src=\"images/none.png\"> <a href=\"http://example.org/\">w</a>");
        write("a.htm", "<a name=\"other\"></a>");
        write("lost.htm", "<p>no way here</p>");
        const QString all = Pages::linkProblems(dir.path()).join('\n');
        QVERIFY2(all.contains("main.htm: gone.htm does not exist"), qPrintable(all));
        QVERIFY2(all.contains("main.htm: images/none.png does not exist"), qPrintable(all));
        QVERIFY2(all.contains("a.htm#top: no anchor top"), qPrintable(all));
        QVERIFY2(all.contains("http://example.org/ leaves the lesson folder"), qPrintable(all));
        QVERIFY2(all.contains("lost.htm: no link from main.htm leads here"), qPrintable(all));
    }

    void theRootChartShowsEveryKey() {
        const QImage chart(mavro + "/images/zigen.png");
        QVERIFY(!chart.isNull());
        QVERIFY(chart.width() <= 797);
        // Ink on each of the three rows of keys.
        for (int row = 0; row < 3; ++row) {
            const int y = 8 + row * 100 + 40;  // through the first line of roots
            int dark = 0;
            for (int x = 0; x < chart.width(); ++x) dark += qGray(chart.pixel(x, y)) < 100 ? 1 : 0;
            QVERIFY2(dark > 20, qPrintable(QString::number(row)));
        }
    }
};

QTEST_MAIN(CoursePagesTest)
#include "test_coursepages.moc"
