#include "course/builder/pages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>

#include "course/builder/rootpictures.h"
#include "course/builder/rootset.h"
#include "course/builder/tablewriter.h"

namespace Pages {

namespace {

constexpr char kRows[3][11] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr char kKeyOrder[] = "GFDSAHJKLMTREWQYUIOPNBVCX";
const QString kKeyNames = QStringLiteral("王土大木工目日口田山禾白月人金言立水火之已子女又纟");
const QString kFirstLevel = QStringLiteral("一地在要工上是中国同和的有人我主产不为这民了发以经");
// Zone colours: light tints, so the black roots stay readable.
const QColor kZoneColours[5] = {QColor(0xfd, 0xe2, 0xe2), QColor(0xe2, 0xf0, 0xfd),
                                QColor(0xe4, 0xf7, 0xe0), QColor(0xfd, 0xf3, 0xd6),
                                QColor(0xee, 0xe4, 0xfa)};

// The pictures are course data: a character the CJK font lacks must stop the build.
void requireGlyphs(const QString& text) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setStyleStrategy(QFont::NoFontMerging);
    const QFontMetrics metrics(font);
    for (const uint c : text.toUcs4())
        if (!metrics.inFontUcs4(c))
            throw CourseError(QStringLiteral("the CJK font has no glyph for U+%1").arg(c, 4, 16));
}

int keyIndex(char key) {
    return QByteArray(kKeyOrder).indexOf(key);
}

QFont cjk(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// Draws the three rows of keys; paintKey fills each letter key's box.
template <typename PaintKey>
QImage keyboard(int keyWidth, int keyHeight, PaintKey paintKey) {
    const int gap = 4, margin = 8, shift = keyWidth / 4;
    QImage image(margin * 2 + 10 * (keyWidth + gap) - gap, margin * 2 + 3 * (keyHeight + gap) - gap,
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < 3; ++row) {
        const char* keys = kRows[row];
        for (int i = 0; keys[i]; ++i) {
            const QRect box(margin + row * shift + i * (keyWidth + gap),
                            margin + row * (keyHeight + gap), keyWidth, keyHeight);
            const int index = keyIndex(keys[i]);
            painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
            painter.setBrush(index < 0 ? QColor(0xc8, 0xc8, 0xc8) : kZoneColours[index / 5]);
            painter.drawRoundedRect(box, 5, 5);
            if (index >= 0)
                paintKey(painter, box, keys[i], index);
            else {
                painter.setPen(QColor(0x70, 0x70, 0x70));
                painter.setFont(cjk(14, true));
                painter.drawText(box.adjusted(5, 3, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                                 QString(QLatin1Char(keys[i])));
            }
        }
    }
    return image;
}

void copyPages(const QString& pagesDir, const QString& outDir) {
    const QDir source(pagesDir);
    const QStringList files =
        source.entryList({QStringLiteral("*.htm"), QStringLiteral("*.css")}, QDir::Files);
    if (!files.contains(QStringLiteral("main.htm")))
        throw CourseError(pagesDir + ": no main.htm");
    for (const QString& name : files) {
        const QString target = QDir(outDir).filePath(name);
        QFile::remove(target);
        if (!QFile::copy(source.filePath(name), target))
            throw CourseError(QStringLiteral("cannot copy %1 to %2").arg(name, outDir));
        QFile::setPermissions(
            target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

void save(const QImage& image, const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    if (!image.save(path, "PNG"))
        throw CourseError(QStringLiteral("cannot write %1").arg(path));
}

}  // namespace

QImage rootChart(const QString& rootsPath) {
    requireGlyphs(kKeyNames);
    const RootSet roots = RootSet::read(rootsPath);
    QHash<char, QStringList> byKey;
    for (const QString& root : roots.roots())
        byKey[char(roots.key(root).toUpper().toLatin1())].append(root);
    const int cell = 17;
    return keyboard(72, 96, [&](QPainter& painter, const QRect& box, char key, int index) {
        const QString code = QStringLiteral("%1%2").arg(index / 5 + 1).arg(index % 5 + 1);
        painter.setPen(Qt::black);
        painter.setFont(cjk(11, true));
        painter.drawText(box.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         code + QLatin1Char(' ') + QLatin1Char(key));
        painter.setFont(cjk(24, true));
        painter.setPen(QColor(0xb0, 0x10, 0x10));
        painter.drawText(QRect(box.right() - 32, box.top() + 1, 30, 30), Qt::AlignCenter,
                         kKeyNames.mid(index, 1));
        int n = 0;
        for (const QString& root : byKey.value(key)) {
            if (root == kKeyNames.mid(index, 1))
                continue;
            const QImage picture = RootPictures::render(root, cell - 1);
            const QPoint at(box.left() + 3 + (n % 4) * cell, box.top() + 32 + (n / 4) * cell);
            painter.drawImage(at, picture.convertToFormat(QImage::Format_ARGB32));
            ++n;
        }
        if (n > 12)
            throw CourseError(QStringLiteral("key %1 holds %2 roots, the chart has room for 12")
                                  .arg(QLatin1Char(key))
                                  .arg(n));
    });
}

QImage firstLevelChart() {
    requireGlyphs(kFirstLevel);
    return keyboard(64, 64, [](QPainter& painter, const QRect& box, char key, int index) {
        painter.setPen(Qt::black);
        painter.setFont(cjk(12, true));
        painter.drawText(box.adjusted(5, 3, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         QString(QLatin1Char(key)));
        painter.setFont(cjk(26, true));
        painter.setPen(QColor(0x10, 0x40, 0x90));
        painter.drawText(box.adjusted(0, 14, 0, 0), Qt::AlignCenter, kFirstLevel.mid(index, 1));
    });
}

QStringList linkProblems(const QString& dirPath) {
    const QDir dir(dirPath);
    static const QRegularExpression link(QStringLiteral("\\b(href|src)\\s*=\\s*\"([^\"]*)\""),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression anchor(QStringLiteral("\\b(?:name|id)\\s*=\\s*\"([^\"]+)\""),
                                           QRegularExpression::CaseInsensitiveOption);
    QHash<QString, QString> texts;
    for (const QString& name : dir.entryList({QStringLiteral("*.htm")}, QDir::Files)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return {name + QStringLiteral(": cannot read")};
        texts.insert(name, QString::fromUtf8(file.readAll()));
    }
    QStringList problems;
    if (!texts.contains(QStringLiteral("main.htm")))
        problems.append(QStringLiteral("no main.htm"));
    QHash<QString, QSet<QString>> links;  // page -> pages it links
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        for (const QRegularExpressionMatch& m : link.globalMatch(it.value())) {
            const QString target = m.captured(2);
            const QString where = it.key() + QStringLiteral(": ") + target;
            if (target.contains(QLatin1Char(':')) || target.startsWith(QLatin1Char('/')) ||
                target.contains(QLatin1String(".."))) {
                problems.append(where + QStringLiteral(" leaves the lesson folder"));
                continue;
            }
            const QString file = target.section(QLatin1Char('#'), 0, 0);
            const QString fragment = target.section(QLatin1Char('#'), 1);
            const QString page = file.isEmpty() ? it.key() : file;
            if (!QFileInfo(dir.filePath(page)).isFile()) {
                problems.append(where + QStringLiteral(" does not exist"));
                continue;
            }
            if (page.endsWith(QLatin1String(".htm")) &&
                m.captured(1).compare(QLatin1String("href"), Qt::CaseInsensitive) == 0)
                links[it.key()].insert(page);
            if (!fragment.isEmpty()) {
                bool found = false;
                for (const QRegularExpressionMatch& a : anchor.globalMatch(texts.value(page)))
                    found = found || a.captured(1) == fragment;
                if (!found)
                    problems.append(where + QStringLiteral(": no anchor ") + fragment);
            }
        }
    }
    QSet<QString> reached{QStringLiteral("main.htm")};
    QStringList queue{QStringLiteral("main.htm")};
    while (!queue.isEmpty())
        for (const QString& next : links.value(queue.takeFirst()))
            if (!reached.contains(next)) {
                reached.insert(next);
                queue.append(next);
            }
    for (const QString& name : texts.keys())
        if (!reached.contains(name))
            problems.append(name + QStringLiteral(": no link from main.htm leads here"));
    problems.sort();
    return problems;
}

QString build(const QString& pagesDir, const QString& rootsPath, const QString& outDir) {
    copyPages(pagesDir, outDir);
    save(rootChart(rootsPath), QDir(outDir).filePath(QStringLiteral("images/zigen.png")));
    save(firstLevelChart(), QDir(outDir).filePath(QStringLiteral("images/jianma1.png")));
    const QStringList problems = linkProblems(outDir);
    if (!problems.isEmpty())
        throw CourseError(QStringLiteral("lesson pages:\n  ") +
                          problems.join(QStringLiteral("\n  ")));
    const int pages = QDir(outDir).entryList({QStringLiteral("*.htm")}, QDir::Files).size();
    return QStringLiteral("lesson pages: %1 pages, every link resolves\n").arg(pages);
}

}  // namespace Pages
