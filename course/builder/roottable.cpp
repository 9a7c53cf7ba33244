#include "course/builder/roottable.h"

#include "course/builder/rootpictures.h"
#include "course/builder/sourcefile.h"
#include "course/builder/tablewriter.h"
#include "platform/gbk.h"

namespace RootTable {

namespace {

// Keys in zone-position order: 11..15, 21..25, 31..35, 41..45, 51..55.
constexpr char kKeyOrder[] = "GFDSAHJKLMTREWQYUIOPNBVCX";

// GB2312 is the part of GBK whose two bytes both lie in A1..FE.
bool isGb2312Character(const QString& text) {
    if (text.toUcs4().size() != 1 || !Gbk::canEncode(text))
        return false;
    const QByteArray bytes = Gbk::encode(text);
    return bytes.size() == 2 && quint8(bytes[0]) >= 0xA1 && quint8(bytes[1]) >= 0xA1;
}

void require(bool ok, const QString& where, const QString& what) {
    if (!ok)
        throw CourseError(where + ": " + what);
}

// Shapes the CJK font draws misleadingly, drawn here as polylines on a 100 x 100 grid; named
// "%name" in the source so they never clash with the code table's "@" drawings.
QImage drawOwn(const QString& name, int size) {
    static const QHash<QString, RootPictures::Strokes> shapes = {
        // two parallel falling strokes, the two-撇 stroke rule of key R
        {QStringLiteral("%两撇"), {{66, 8, 30, 44}, {80, 40, 26, 92}}},
    };
    const auto found = shapes.constFind(name);
    if (found == shapes.constEnd())
        throw CourseError(QStringLiteral("no drawing for %1").arg(name));
    return RootPictures::drawStrokes(*found, size);
}

}  // namespace

QImage picture(const QString& name, int size) {
    return name.startsWith(QLatin1Char('%')) ? drawOwn(name, size)
                                             : RootPictures::render(name, size);
}

int keyCode(QChar key) {
    const int index = QByteArray(kKeyOrder).indexOf(char(key.toUpper().toLatin1()));
    return index < 0 ? 0 : (index / 5 + 1) * 10 + index % 5 + 1;
}

QList<Item> readSource(const QString& path) {
    QList<Item> items;
    for (const SourceLine& line : readSourceLines(path)) {
        require(line.fields.size() == 5, line.where,
                "expected \"<record>\\t<key>\\t<No>\\t<picture>\\t<Mem>\"");
        Item item;
        bool ok = false;
        item.record = line.fields[0].toInt(&ok);
        item.where = line.where;
        require(ok && item.record == items.size(), line.where,
                QStringLiteral("record %1 where record %2 was expected")
                    .arg(line.fields[0])
                    .arg(items.size()));
        const QString key = line.fields[1];
        require(key.size() == 1 && keyCode(key[0]) != 0 && key == key.toUpper(), line.where,
                "the key must be one upper-case letter A..Y");
        item.key = key[0];
        item.no = line.fields[2];
        require(!item.no.isEmpty() && Gbk::canEncode(item.no) && Gbk::byteLength(item.no) <= 4,
                line.where, "No must be GBK text of at most 4 bytes");
        item.picture = line.fields[3];
        require(!item.picture.isEmpty(), line.where, "no picture");
        item.mem = line.fields[4];
        item.mem.replace(QLatin1String("\\n"), QLatin1String("\n"));
        require(Gbk::canEncode(item.mem), line.where, "the hint holds characters GBK lacks");
        require(Gbk::byteLength(item.mem) <= kMemBytes, line.where,
                QStringLiteral("the hint takes %1 bytes, more than %2")
                    .arg(Gbk::byteLength(item.mem))
                    .arg(kMemBytes));
        const QString firstLine = item.mem.section(QLatin1Char('\n'), 0, 0);
        require(
            !firstLine.isEmpty() && firstLine.size() <= kHintLineChars, line.where,
            QStringLiteral("the hint's first line must hold 1..%1 characters").arg(kHintLineChars));
        items.append(item);
    }
    require(
        items.size() == kRecords, path,
        QStringLiteral("%1 root items, the root lessons need %2").arg(items.size()).arg(kRecords));
    return items;
}

QStringList keyMismatches(const QList<Item>& items, const QHash<QString, QString>& fullCodes) {
    QStringList problems;
    for (const Item& item : items) {
        if (!isGb2312Character(item.picture))
            continue;
        const QString code = fullCodes.value(item.picture);
        if (code.isEmpty())
            continue;
        if (code[0].toUpper() != item.key)
            problems.append(QStringLiteral("%1: %2 is on %3 but its code %4 starts with %5")
                                .arg(item.where, item.picture, item.key, code, code.left(1)));
    }
    return problems;
}

void write(const QString& path, const QList<Item>& items) {
    TableWriter writer(path, Layouts::rootTable());
    for (const Item& item : items)
        writer.addRow(
            {item.no, pngBytes(picture(item.picture, kPictureSize)), QString(item.key), item.mem},
            item.where);
    writer.commit();
}

QString build(const QString& courseDir, const QList<WubiDict::CharCodes>& dictionary,
              const QString& outPath) {
    const QList<Item> items = readSource(courseDir + QStringLiteral("/roots/wb1.txt"));
    QHash<QString, QString> fullCodes;
    for (const WubiDict::CharCodes& c : dictionary) fullCodes.insert(c.text, c.fullCode);
    const QStringList problems = keyMismatches(items, fullCodes);
    if (!problems.isEmpty())
        throw CourseError(problems.join(QLatin1Char('\n')));
    write(outPath, items);
    return QStringLiteral("wb1.db: %1 root items\n").arg(items.size());
}

}  // namespace RootTable
