#include "progress/wubicodes.h"

#include <QFile>
#include <QSet>
#include <QStringEncoder>
#include <QVarLengthArray>
#include <algorithm>

#include <sqlite3.h>

#include "data/session.h"
#include "data/statement.h"
#include "data/tablefile.h"
#include "platform/errors.h"
#include "platform/pathrule.h"

namespace Wubi {

namespace {

using Fields = QVarLengthArray<QStringView, 8>;

// Visits the lines of a course source built in as fields split at tabs, comments and blank lines
// left out. The fields are views of the decoded text, valid during the visit only.
template <typename Visit>
void forEachSourceLine(const QString& resource, Visit visit) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(file.readAll());
    Fields fields;
    for (QStringView raw : QStringView(text).tokenize(u'\n')) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        fields.clear();
        for (QStringView field : line.tokenize(u'\t')) fields.append(field);
        visit(fields);
    }
}

// The roots of a split, each name shared with its earlier uses instead of a string of its own:
// the splits name a few hundred roots some 50,000 times.
class RootNames {
  public:
    QStringList split(QStringView field) {
        QStringList roots;
        roots.reserve(field.count(u' ') + 1);
        for (QStringView name : field.tokenize(u' ', Qt::SkipEmptyParts)) {
            if (name.size() == 1) {
                QString& shared = singles[name[0].unicode()];
                if (shared.isEmpty())
                    shared = name.toString();
                roots << shared;
            } else {
                roots << *others.insert(name.toString());
            }
        }
        return roots;
    }

  private:
    QHash<char16_t, QString> singles;
    QSet<QString> others;
};

bool isLevel1(const QString& character) {
    if (character.size() != 1)
        return false;
    // One converter for the whole code table: opening one costs more than the lookup. GBK keeps
    // no state from one character to the next, and one it cannot hold gives no two bytes in the
    // rows below.
    thread_local QStringEncoder gbk("GBK");
    const QByteArray bytes = gbk.encode(character);
    return bytes.size() == 2 && quint8(bytes[0]) >= 0xB0 && quint8(bytes[0]) <= 0xD7 &&
           quint8(bytes[1]) >= 0xA1;
}

// The roots standing for the code's letters, or none when the split disagrees with the code.
QStringList byPosition(const QStringList& split, const QString& fullCode,
                       const QHash<QString, QChar>& keys) {
    QStringList roots = split.size() <= 4 ? split : split.mid(0, 3) << split.last();
    for (qsizetype p = 0; p < roots.size(); ++p)
        if (p >= fullCode.size() || keys.value(roots[p]) != fullCode[p])
            return {};
    return roots;
}

// Visits the rows of a course table's SELECT ("%1" names the file's table), straight from the
// engine: a TQuery would keep every cell for a grid. A file that cannot be read raises the
// message a TQuery gives.
template <typename Visit>
void forEachRow(const QString& name, const char* select, Visit visit) {
    TSession session;
    session.setOnPassword(Password);
    TableFile file;
    file.open(session, QStringLiteral("\\mavro"), name);
    const QByteArray sql = QString::fromUtf8(select).arg(quoted(file.tableName())).toUtf8();
    Sql::Statement rows(file.handle(), sql.constData());
    int result = SQLITE_ERROR;
    while (rows && (result = rows.step()) == SQLITE_ROW) visit(rows);
    if (result != SQLITE_DONE)
        throw AppError::lasting(
            QStringLiteral("无法查询数据表 %1：%2。").arg(file.path(), file.problem()));
}

// The course builder's frequency list: a character and its corpus weight a line. A data directory
// built before it had one ranks by the course texts alone.
QHash<QString, double> readWeights(const QString& path) {
    QHash<QString, double> weights;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return weights;
    const QString text = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab > 0)
            weights.insert(line.left(tab).toString(), line.mid(tab + 1).toDouble());
    }
    return weights;
}

}  // namespace

QString CodeBook::rootText(const QString& root) {
    return root.startsWith(QLatin1Char('@')) ? QStringLiteral("〔%1〕").arg(root.mid(1)) : root;
}

void CodeBook::readRoots() {
    QHash<QString, QString> variants;
    forEachSourceLine(QStringLiteral(":/course/wubi/roots.txt"), [&](const Fields& f) {
        if (f.size() < 2 || f[0].size() != 1)
            return;
        const QChar key = f[0][0].toLower();
        const QString root = f[1].toString();
        rootKeys.insert(root, key);
        keyRoots[key] << root;
        if (f.size() > 2)
            for (QStringView v : f[2].tokenize(u' ', Qt::SkipEmptyParts))
                variants.insert(v.toString(), root);
    });
    RootNames names;
    forEachSourceLine(QStringLiteral(":/course/wubi/splits.txt"), [&](const Fields& f) {
        if (f.size() >= 2)
            splits.insert(f[0].toString(), names.split(f[1]));
    });
    forEachSourceLine(QStringLiteral(":/course/wubi/exceptions.txt"), [&](const Fields& f) {
        if (f.size() >= 2)
            splits.insert(f[0].toString(), f[1] == u"-" ? QStringList() : names.split(f[1]));
    });
    // The root lessons (records 56 on) go zone by zone and key by key.
    forEachSourceLine(QStringLiteral(":/course/roots/wb1.txt"), [&](const Fields& f) {
        if (f.size() < 4)
            return;
        const int record = f[0].toInt();
        const QString named = f[3].toString();
        const QString root = rootKeys.contains(named) ? named : variants.value(named);
        if (!root.isEmpty())
            records.insert(record, root);
        const QChar key = f[1].isEmpty() ? QChar() : f[1][0].toLower();
        if (record >= 56 && !order.contains(key))
            order += key;
    });
}

CodeBook CodeBook::withRoots() {
    CodeBook book;
    book.readRoots();
    return book;
}

CodeBook CodeBook::fromSplits() {
    CodeBook book = withRoots();
    QStringList characters = book.splits.keys();
    characters.sort();
    for (const QString& c : characters) {
        const QStringList split = book.splits.value(c);
        const QStringList roots = split.size() <= 4 ? split : split.mid(0, 3) << split.last();
        QString code;
        for (const QString& r : roots) code += book.rootKeys.value(r);
        if (roots.size() < 2 || code.size() != roots.size())
            continue;
        if (code.size() < 4)
            code += QLatin1Char('g');
        book.add(c, code, code);
    }
    book.rankBy({});
    return book;
}

void CodeBook::add(const QString& character, const QString& shortCode, const QString& fullCode) {
    Character c;
    c.shortCode = shortCode.toLower();
    c.fullCode = fullCode.toLower();
    c.roots = byPosition(splits.value(character), c.fullCode, rootKeys);
    c.level1 = isLevel1(character);
    // Every letter typed for it, identification code included: a root whose drawing the splits
    // place elsewhere still has its key pressed.
    c.keys = keyBits(c.fullCode);
    c.rank = int(book.size());
    book.insert(character, c);
}

void CodeBook::rankBy(const QString& text, const QHash<QString, double>& weights) {
    QHash<QChar, int> seen;
    for (QChar c : text) ++seen[c];
    // Each character's sort key worked out once: the sort compares some 300,000 times.
    struct Entry {
        double weight;
        int seen;
        qsizetype shortCode;
        int rank;
        QHash<QString, Character>::iterator it;
    };
    QList<Entry> all;
    all.reserve(book.size());
    for (auto it = book.begin(); it != book.end(); ++it)
        all.append({weights.value(it.key()), it.key().size() == 1 ? seen.value(it.key()[0]) : 0,
                    it->shortCode.size(), it->rank, it});
    std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) {
        if (a.weight != b.weight)
            return a.weight > b.weight;
        if (a.seen != b.seen)
            return a.seen > b.seen;
        return a.shortCode != b.shortCode ? a.shortCode < b.shortCode : a.rank < b.rank;
    });
    ranked.clear();
    rankedKeys.clear();
    commonCodes.clear();
    for (int i = 0; i < all.size(); ++i) {
        Character& c = *all[i].it;
        c.rank = i;
        c.commonRank = int(ranked.size());
        if (c.level1) {
            if (ranked.size() < kCommon && c.fullCode.size() == 4)
                commonCodes.insert(c.fullCode);
            ranked << all[i].it.key();
            rankedKeys << c.keys;
        }
    }
}

bool CodeBook::isCommon(QStringView character) const {
    const Character* c = find(character);
    return c && c->level1 && c->commonRank < kCommon;
}

QStringList CodeBook::madeOf(const QString& keys) const {
    const quint32 allowed = keyBits(keys);
    QStringList result;
    for (qsizetype i = 0; i < qMin<qsizetype>(kCommon, ranked.size()); ++i)
        if (rankedKeys[i] != 0 && (rankedKeys[i] & ~allowed) == 0)
            result << ranked[i];
    return result;
}

quint32 CodeBook::keyBits(QStringView keys) {
    quint32 bits = 0;
    for (QChar k : keys)
        if (k >= QLatin1Char('a') && k <= QLatin1Char('y'))
            bits |= 1u << (k.unicode() - 'a');
    return bits;
}

const Character* CodeBook::find(QStringView character) const {
    const auto it = book.constFind(character.toString());
    return it == book.constEnd() ? nullptr : &*it;
}

const CodeBook& CodeBook::shared() {
    static const CodeBook shared = [] {
        CodeBook book = withRoots();
        // Phrases have codes too; the book holds characters.
        forEachRow(
            QStringLiteral("kzWb.DB"), "SELECT 文字, 简码, 全码 FROM %1 WHERE length(文字) = 1",
            [&](const Sql::Statement& row) { book.add(row.text(0), row.text(1), row.text(2)); });
        QString texts;
        forEachRow(QStringLiteral("111.DB"), "SELECT 文字 FROM %1",
                   [&](const Sql::Statement& row) { texts += row.text(0); });
        book.rankBy(texts,
                    readWeights(PathRule::resolve(QStringLiteral("\\mavro\\frequency.txt"))));
        return book;
    }();
    return shared;
}

}  // namespace Wubi
