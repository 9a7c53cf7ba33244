#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include "course/builder/wubidict.h"

// The root table wb1.db: the items of the root drill, records counted from 0.
namespace RootTable {

inline constexpr int kRecords = 256;
// The drill's picture boxes are 18 x 18; their pictures are stored at twice that, for screens of
// twice the density.
inline constexpr int kPictureSize = 2 * 18;
inline constexpr int kHintLineChars = 40;  // what the drill's hint line shows of a hint
inline constexpr int kMemBytes = 240;

// The lessons' groups of records: stroke rules, key names, zones 1 to 5.
struct Group {
    int first;
    int count;
    const char* name;
};
inline constexpr Group kGroups[] = {
    {0, 31, "stroke rules"}, {31, 25, "key-name roots"}, {56, 37, "zone 1"}, {93, 37, "zone 2"},
    {130, 46, "zone 3"},     {176, 40, "zone 4"},        {216, 40, "zone 5"}};

struct Item {
    int record = 0;
    QChar key;        // upper-case answer letter
    QString no;       // item label, GBK, at most 4 bytes
    QString picture;  // glyph(s), or "@name" for a drawing
    QString mem;      // hint, lines separated by '\n'
    QString where;    // source line, for messages
};

// Source lines: "<record>\t<key>\t<No>\t<picture>\t<Mem>" with "\n" for line breaks in Mem.
// Checks the record order and count, the keys, the field sizes and the hint line.
QList<Item> readSource(const QString& path);

// Roots that are GB2312 characters and sit on a key other than the first letter of their code.
// fullCodes maps a character to its full code, lower case; characters it lacks are not checked.
QStringList keyMismatches(const QList<Item>& items, const QHash<QString, QString>& fullCodes);

// Which zone (1..5) or group a key belongs to: the key's zone-position code, e.g. 'G' -> 11.
int keyCode(QChar key);

// An item's picture: "%name" drawings of this table, else RootPictures (glyph or "@name").
QImage picture(const QString& name, int size = kPictureSize);

void write(const QString& path, const QList<Item>& items);

// Reads <course>/roots/wb1.txt, checks the keys against the dictionary, writes the table and
// returns a one-line report.
QString build(const QString& courseDir, const QList<WubiDict::CharCodes>& dictionary,
              const QString& outPath);

}  // namespace RootTable
