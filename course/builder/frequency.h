#pragma once

#include <QList>
#include <QString>

// How often each character occurs in running text, from the Rime dictionary pinyin_simp.dict.yaml,
// whose entries give each reading of a character its weight in a large corpus: a character's
// frequency is the sum over its readings. The program ranks its common characters by it, so that
// the adaptive practice draws them most frequent first.
namespace Frequency {

inline constexpr char kDefaultPath[] = "/usr/share/rime-data/pinyin_simp.dict.yaml";
// The file in the data directory: one character and its weight a line, most frequent first.
inline constexpr char kFileName[] = "frequency.txt";

struct Weight {
    QString character;
    double weight = 0;
};

// Single characters with a weight above 0, most frequent first (then in the dictionary's order).
QList<Weight> read(const QString& path);

// Writes the characters of read(path) that GBK can hold into <dataDir>/frequency.txt and returns
// a line for the build report.
QString build(const QString& path, const QString& dataDir);

// The dictionary path: QORVEX_PINYIN_DICT when set, else the Debian package's file.
QString defaultPath();

}  // namespace Frequency
