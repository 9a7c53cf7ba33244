#include "support/fixturecourse.h"

#include <QDir>
#include <QPainter>

#include "course/builder/practicetable.h"
#include "course/builder/tablewriter.h"

FixtureCourse::FixtureCourse() : previousDrive(qgetenv("QORVEX_DRIVE")) {
    QDir(dir.path()).mkpath("mavro");
    qputenv("QORVEX_DRIVE", dir.path().toLocal8Bit());
}

FixtureCourse::~FixtureCourse() {
    if (previousDrive.isEmpty())
        qunsetenv("QORVEX_DRIVE");
    else
        qputenv("QORVEX_DRIVE", previousDrive);
}

QString FixtureCourse::mavro() const {
    return QDir(dir.path()).filePath("mavro");
}

void FixtureCourse::writePracticeRows(const QList<QString>& rows) {
    PracticeTable::write(QDir(mavro()).filePath("111.DB"), rows);
}

void FixtureCourse::writeCodeTable(const QList<Code>& codes) {
    TableWriter writer(QDir(mavro()).filePath("kzWb.DB"), Layouts::codeTable());
    int line = 0;
    for (const Code& code : codes) {
        QVariantList values{code.character, code.shortCode, code.fullCode};
        for (int i = 0; i < 4; ++i) values << pngBytes(code.pictures.value(i));
        writer.addRow(values, QStringLiteral("code %1").arg(++line));
    }
    writer.commit();
}

void FixtureCourse::writeRootTable(const QList<Root>& roots) {
    TableWriter writer(QDir(mavro()).filePath("wb1.db"), Layouts::rootTable());
    int line = 0;
    for (const Root& root : roots)
        writer.addRow({root.no, pngBytes(root.picture), root.key, root.mem},
                      QStringLiteral("root %1").arg(++line));
    writer.commit();
}

void FixtureCourse::writeAll() {
    writePracticeRows(defaultPracticeRows());
    writeCodeTable(defaultCodes());
    writeRootTable(defaultRoots());
}

QList<QString> FixtureCourse::defaultPracticeRows() {
    // Text rows name their row so tests can tell which rows a page shows; the finger rows hold
    // letters, ";" and spaces only.
    static const QString chinese = QStringLiteral("工地在要中国人民");
    QList<QString> rows;
    for (int row = 1; row <= PracticeTable::kCatalogueRows; ++row) {
        if (row >= 125 && row <= 196) {
            QString tag = QString::number(row);
            for (QChar& digit : tag) digit = QChar('a' + digit.digitValue());
            rows << QStringLiteral("asdf jkl; ") + tag;
            continue;
        }
        rows << chinese + QStringLiteral("第%1行").arg(row);
    }
    return rows;
}

QList<FixtureCourse::Code> FixtureCourse::defaultCodes() {
    auto code = [](const char* c, const char* s, const char* f, QStringList roots) {
        Code result{QString::fromUtf8(c), QString::fromLatin1(s), QString::fromLatin1(f), {}};
        for (const QString& root : roots) result.pictures << labelPicture(root);
        return result;
    };
    return {
        code("工", "a", "aaaa", {"工"}),
        code("地", "f", "fbn", {"土", "也"}),
        code("在", "d", "dhfd", {"ナ", "丨", "土"}),
        code("要", "s", "svf", {"西", "女"}),
        code("中", "k", "khk", {"口", "丨"}),
        code("国", "l", "lgyi", {"囗", "王", "丶"}),
        code("人", "w", "wwww", {"人"}),
        code("民", "n", "nav", {"乙", "七"}),
        code("第", "tx", "txht", {"竹", "弓", "丨", "丿"}),
        code("行", "tf", "tfhh", {"彳", "二", "丨"}),
        code("经", "x", "xcag", {"纟", "又", "工"}),
        code("键", "qvfp", "qvfp", {"钅", "彐", "二", "廴"}),
        code("的", "r", "rqyy", {"白", "勹", "丶"}),
        code("一", "g", "ggll", {"一"}),
    };
}

QList<FixtureCourse::Root> FixtureCourse::defaultRoots() {
    // 256 records; the key of record k is letter k mod 25 of "GFDSAHJKLMTREWQYUIOPNBVCX", so tests
    // can work out the right answer for any record they see.
    static const QString keys = QStringLiteral("GFDSAHJKLMTREWQYUIOPNBVCX");
    QList<Root> roots;
    for (int k = 0; k < 256; ++k) {
        const QString key = keys.mid(k % keys.size(), 1);
        roots << Root{key, QStringLiteral("第%1个字根在%2键").arg(k).arg(key),
                      labelPicture(QString::number(k)), QString::number(k)};
    }
    return roots;
}

QImage FixtureCourse::labelPicture(const QString& text, QColor colour) {
    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(colour);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    return image;
}
