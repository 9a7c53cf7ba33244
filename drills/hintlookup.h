#pragma once

#include <QByteArray>
#include <QHash>
#include <QPixmap>
#include <QSet>
#include <QSize>
#include <QString>
#include <array>
#include <optional>

#include "drills/hintcode.h"

class TTable;

// The text drill's hint source: the short code and the four root pictures of a character, found
// by exact search on the code table's index WZindex. The code table never changes while the
// program runs, so each key is looked up once; a pupil types the same page over and over, and a
// repeated hint then costs no table reads and no picture decoding.
class HintLookup {
  public:
    struct Hint {
        QString shortCode;  // as stored
        // What the hint shows: a code that gives the character first in the pupil's input
        // method (else in the course's own order), or with its candidate's number ("fghy 2").
        QString code;
        std::array<QPixmap, 4> pictures;  // Pic1 .. Pic4, null where the field is empty
    };

    // The pictures come made ready for image boxes of pictureBox on the screen at hand
    // (Pictures::fitted), so that showing a hint again scales nothing; an empty size leaves them
    // as stored.
    explicit HintLookup(TTable& codeTable, QSize pictureBox = QSize())
        : table(codeTable), pictureBox(pictureBox) {}

    // The hint for a key of GBK bytes, or nullptr when no row has it. The pointer holds until the
    // next call.
    const Hint* find(const QByteArray& key);
    // Every text the code table (at tablePath, "\\mavro\\kzWb.DB") has a row for, read in one
    // query of that column alone: checking each character of a long text this way decodes no
    // picture and costs one pass over the table instead of a search per character.
    QSet<QString> codedTexts(const QString& tablePath);
    // How many hints (with their pictures) are kept.
    qsizetype held() const { return found.size(); }
    // The hint of a character with its short and full code, as find() gives it.
    QString hintCode(const QString& character, const QString& shortCode, const QString& fullCode);

  private:
    // The input method's order where it can be read, else the code table's: its rows in their
    // order, each under its short and its full code.
    const HintCode::Order& order();

    TTable& table;
    std::optional<HintCode::Order> courseOrder;
    QSize pictureBox;
    QHash<QByteArray, Hint> found;
    QSet<QByteArray> missing;
    int foundUnder = 0;  // the input method's order the hints found were worked out in
};
