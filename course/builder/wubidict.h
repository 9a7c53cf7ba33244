#pragma once

#include <QList>
#include <QString>

// The Wubi 86 codes of single Han characters, read from the Rime dictionary wubi86.dict.yaml.
namespace WubiDict {

inline constexpr char kDefaultPath[] = "/usr/share/rime-data/wubi86.dict.yaml";

struct CharCodes {
    QString text;       // one Han character GBK can hold
    QString shortCode;  // shortest code, lower case
    QString fullCode;   // longest code of at most four letters
    double weight = 0;  // weight of the full code's entry
    int order = 0;      // line of the full code's entry, for stable ties
};

// One entry per character, ordered by full code, then by weight (most frequent first). Lookup
// codes (starting with "z"), phrases, symbols and characters GBK cannot hold are left out.
QList<CharCodes> read(const QString& path);

// The dictionary path: QORVEX_WUBI_DICT when set, else the Debian package's file.
QString defaultPath();

}  // namespace WubiDict
