#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

// What the adaptive practice knows of Wubi: each character's codes and roots, the roots' keys, and
// the order in which the course's root lessons bring the keys in.
//
// The roots of a character are the course's own split (the one its root pictures are drawn from,
// built into the program from course/wubi), kept only where the roots' keys agree with the code.
// A code letter at position p (from 0) stands for the root at that position: every root of a
// character of up to four, else its first three and its last. A character of two or three roots
// whose full code is one letter longer ends in its identification code (识别码).
namespace Wubi {

struct Root {
    QString name;  // the glyph, or "@name" for a shape without one
    QChar key;     // lower case
};

struct Character {
    QString shortCode;
    QString fullCode;
    QStringList roots;    // by code position; empty when the split is unknown
    int rank = 0;         // by frequency, 0 the most frequent
    int commonRank = 0;   // place among the level 1 characters by frequency
    bool level1 = false;  // GB2312 level 1 (the 3,755 common characters)
    quint32 keys = 0;     // the keys of its full code, as CodeBook::keyBits gives them
    bool hasIdentificationCode() const {
        return (roots.size() == 2 || roots.size() == 3) && fullCode.size() == roots.size() + 1;
    }
};

class CodeBook {
  public:
    // The program's code book: the code table kzWb.DB and the course texts (111.DB) of the data
    // directory with the roots built in; read once. A missing table raises its own error.
    static const CodeBook& shared();

    // A book of the built-in roots and splits, without codes: tests and tools add codes.
    static CodeBook withRoots();
    // A book of the built-in splits whose codes are their roots' keys (a made-up identification
    // code "g" where one is due), for simulations and benchmarks without the code table.
    static CodeBook fromSplits();
    // Adds a character with its codes; rank in the order added unless ranked again.
    void add(const QString& character, const QString& shortCode, const QString& fullCode);
    // Ranks characters by their corpus weight, then by how often they occur in text, then by
    // short code length (the short codes were handed out by frequency), then as added.
    void rankBy(const QString& text, const QHash<QString, double>& weights = {});

    const Character* find(QStringView character) const;
    QChar keyOf(const QString& root) const { return rootKeys.value(root); }
    // The roots of a key in the course's order, the key name first.
    QStringList rootsOn(QChar key) const { return keyRoots.value(key.toLower()); }
    // The 25 keys in the order the root lessons bring them in: zone by zone, G F D S A first.
    const QString& keyOrder() const { return order; }
    // The root the course's root table shows with each record, empty for a stroke rule.
    QString rootOfRecord(int record) const { return records.value(record); }
    const QHash<QString, Character>& characters() const { return book; }
    // GB2312's level 1 characters, most frequent first.
    const QStringList& byRank() const { return ranked; }
    // The kCommon first of byRank(): about the characters of everyday text, where 醛 and 硒 are
    // not.
    static constexpr int kCommon = 2500;
    bool isCommon(QStringView character) const;
    // Common characters made only of roots on the given keys, most frequent first. Asked for at
    // every adaptive page, so it compares key bits instead of looking up each root.
    QStringList madeOf(const QString& keys) const;
    // Whether the code is the full code of a common character: a phrase that an input method
    // learns with it can come out for that character.
    bool isCommonCode(const QString& code) const { return commonCodes.contains(code); }
    // One bit per key letter a to y.
    static quint32 keyBits(QStringView keys);
    // "口" for a glyph, "〔革下〕" for a drawn shape.
    static QString rootText(const QString& root);

  private:
    void readRoots();
    QHash<QString, QChar> rootKeys;
    QHash<QChar, QStringList> keyRoots;
    QHash<QString, QStringList> splits;  // writing order
    QHash<int, QString> records;
    QString order;
    QHash<QString, Character> book;
    QStringList ranked;
    QList<quint32> rankedKeys;  // Character::keys of each of ranked
    QSet<QString> commonCodes;
};

}  // namespace Wubi
