#include "progress/wubicodes.h"

#include <QFile>
#include <QStringEncoder>
#include <algorithm>

#include "data/query.h"
#include "data/session.h"

namespace Wubi {

namespace {

// The lines of a course source built in: fields split at tabs, comments and blank lines left out.
QList<QStringList> sourceLines(const QString& resource) {
    QFile file(resource);
    QList<QStringList> lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QString text = QString::fromUtf8(file.readAll());
    for (QStringView raw : QStringView(text).tokenize(u'\n')) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList fields;
        for (QStringView field : line.tokenize(u'\t')) fields << field.toString();
        lines << fields;
    }
    return lines;
}

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

QList<QStringList> tableRows(const QString& table, const QString& select) {
    TSession session;
    session.setOnPassword(Password);
    TQuery query(session, QStringLiteral("Query1"));
    query.Open(table, select, {});
    QList<QStringList> rows;
    rows.reserve(query.rowCount());
    for (int r = 0; r < query.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < query.columnCount(); ++c)
            row << query.data(query.index(r, c)).toString();
        rows << row;
    }
    return rows;
}

}  // namespace

QString CodeBook::rootText(const QString& root) {
    return root.startsWith(QLatin1Char('@')) ? QStringLiteral("〔%1〕").arg(root.mid(1)) : root;
}

void CodeBook::readRoots() {
    QHash<QString, QString> variants;
    for (const QStringList& f : sourceLines(QStringLiteral(":/course/wubi/roots.txt"))) {
        if (f.size() < 2 || f[0].size() != 1)
            continue;
        const QChar key = f[0][0].toLower();
        rootKeys.insert(f[1], key);
        keyRoots[key] << f[1];
        for (const QString& v : f.value(2).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            variants.insert(v, f[1]);
    }
    for (const QStringList& f : sourceLines(QStringLiteral(":/course/wubi/splits.txt")))
        if (f.size() >= 2)
            splits.insert(f[0], f[1].split(QLatin1Char(' '), Qt::SkipEmptyParts));
    for (const QStringList& f : sourceLines(QStringLiteral(":/course/wubi/exceptions.txt")))
        if (f.size() >= 2)
            splits.insert(f[0], f[1] == QLatin1String("-")
                                    ? QStringList()
                                    : f[1].split(QLatin1Char(' '), Qt::SkipEmptyParts));
    // The root lessons (records 56 on) go zone by zone and key by key.
    for (const QStringList& f : sourceLines(QStringLiteral(":/course/roots/wb1.txt"))) {
        if (f.size() < 4)
            continue;
        const int record = f[0].toInt();
        const QString root = rootKeys.contains(f[3]) ? f[3] : variants.value(f[3]);
        if (!root.isEmpty())
            records.insert(record, root);
        const QChar key = f[1].isEmpty() ? QChar() : f[1][0].toLower();
        if (record >= 56 && !order.contains(key))
            order += key;
    }
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

void CodeBook::rankBy(const QString& text) {
    QHash<QChar, int> seen;
    for (QChar c : text) ++seen[c];
    // Each character's sort key worked out once: the sort compares some 300,000 times.
    struct Entry {
        int seen;
        qsizetype shortCode;
        int rank;
        QHash<QString, Character>::iterator it;
    };
    QList<Entry> all;
    all.reserve(book.size());
    for (auto it = book.begin(); it != book.end(); ++it)
        all.append({it.key().size() == 1 ? seen.value(it.key()[0]) : 0, it->shortCode.size(),
                    it->rank, it});
    std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) {
        if (a.seen != b.seen)
            return a.seen > b.seen;
        return a.shortCode != b.shortCode ? a.shortCode < b.shortCode : a.rank < b.rank;
    });
    ranked.clear();
    rankedKeys.clear();
    for (int i = 0; i < all.size(); ++i) {
        Character& c = *all[i].it;
        c.rank = i;
        if (c.level1) {
            ranked << all[i].it.key();
            rankedKeys << c.keys;
        }
    }
}

QStringList CodeBook::madeOf(const QString& keys) const {
    const quint32 allowed = keyBits(keys);
    QStringList result;
    for (qsizetype i = 0; i < ranked.size(); ++i)
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
        for (const QStringList& row : tableRows(QStringLiteral("\\mavro\\kzWb.DB"),
                                                QStringLiteral("SELECT 文字, 简码, 全码 FROM %1")))
            if (row.size() == 3 && row[0].size() == 1)
                book.add(row[0], row[1], row[2]);
        QString texts;
        for (const QStringList& row :
             tableRows(QStringLiteral("\\mavro\\111.DB"), QStringLiteral("SELECT 文字 FROM %1")))
            texts += row.value(0);
        book.rankBy(texts);
        return book;
    }();
    return shared;
}

}  // namespace Wubi
