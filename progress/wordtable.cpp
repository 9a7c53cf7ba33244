#include "progress/wordtable.h"

#include <QFile>
#include <algorithm>

#include "platform/errors.h"
#include "platform/pathrule.h"
#include "progress/article.h"

namespace {

bool isHan(QChar c) {
    return c.unicode() >= 0x3400 && c.unicode() < 0xA000;
}

// A Chinese character the table lacks: a full code's four letters, typed some other way.
constexpr int kUnknownKeys = 4;

}  // namespace

const WordTable& WordTable::shared() {
    static const WordTable table = [] {
        const QString path = PathRule::resolve(drivePath());
        return QFile::exists(path) ? read(path) : WordTable();
    }();
    return table;
}

WordTable WordTable::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法读取词库 %1：%2。").arg(path, file.errorString()));
    const QString text = QString::fromUtf8(file.readAll());
    WordTable table;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype tab1 = line.indexOf(QLatin1Char('\t'));
        const qsizetype tab2 = line.indexOf(QLatin1Char('\t'), tab1 + 1);
        if (tab1 <= 0 || tab2 <= tab1 + 1)
            continue;
        const qsizetype tab3 = line.indexOf(QLatin1Char('\t'), tab2 + 1);
        const QStringView place =
            tab3 < 0 ? line.mid(tab2 + 1) : line.mid(tab2 + 1, tab3 - tab2 - 1);
        table.add(line.left(tab1), line.mid(tab1 + 1, tab2 - tab1 - 1), place.trimmed().toInt(),
                  tab3 < 0 ? 0 : line.mid(tab3 + 1).trimmed().toLongLong());
    }
    return table;
}

WordTable::Code WordTable::pack(QStringView code) {
    if (code.isEmpty() || code.size() > 4)
        return 0;
    Code packed = Code(code.size());
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = code[i].unicode();
        if (c < u'a' || c > u'z')
            return 0;
        packed |= Code(c - u'a' + 1) << (3 + 5 * i);
    }
    return packed;
}

QString WordTable::unpack(Code code) {
    QString text;
    for (int i = 0; i < lengthOf(code); ++i) text += QChar(u'a' + ((code >> (3 + 5 * i)) & 31) - 1);
    return text;
}

int WordTable::Way::keys(bool beforePunctuation) const {
    const int letters = lengthOf(code);
    if (place > 0)
        return letters + 1;
    return letters + (letters < 4 && !beforePunctuation ? 1 : 0);
}

int WordTable::child(int node, QChar c) const {
    return children.value(quint64(node) << 16 | c.unicode(), -1);
}

void WordTable::add(QStringView word, QStringView code, int place, qint64 weight) {
    const Code packed = pack(code);
    if (word.isEmpty() || !packed || place < 0)
        return;
    int node = 0;
    for (QChar c : word) {
        int next = child(node, c);
        if (next < 0) {
            next = int(nodeWord.size());
            nodeWord.push_back(-1);
            children.insert(quint64(node) << 16 | c.unicode(), next);
        }
        node = next;
    }
    const Way way{packed, place};
    if (nodeWord[node] < 0) {
        nodeWord[node] = int(words.size());
        words.push_back({word.toString(), way, way, lengthOf(packed), weight, {{packed, place}}});
        return;
    }
    Word& w = words[nodeWord[node]];
    const auto better = [&](const Way& old, bool beforeMark) {
        const int a = way.keys(beforeMark), b = old.keys(beforeMark);
        return a < b || (a == b && place < old.place);
    };
    if (better(w.plain, false))
        w.plain = way;
    if (better(w.beforeMark, true))
        w.beforeMark = way;
    w.fullLength = qMax(w.fullLength, lengthOf(packed));
    w.weight = qMax(w.weight, weight);
    w.places.push_back({packed, place});
}

int WordTable::wordIndex(QStringView word) const {
    int node = 0;
    for (QChar c : word)
        if ((node = child(node, c)) < 0)
            return -1;
    return nodeWord[node];
}

int WordTable::place(QStringView word, QStringView code) const {
    const int at = wordIndex(word);
    const Code packed = pack(code);
    if (at < 0 || !packed)
        return -1;
    for (const auto& [c, place] : words[at].places)
        if (c == packed)
            return place;
    return -1;
}

int WordTable::fullCodeLength(QStringView word) const {
    const int at = wordIndex(word);
    return at < 0 ? 0 : words[at].fullLength;
}

QStringList WordTable::commonWords(int shortest, int longest, int count) const {
    std::vector<const Word*> found;
    for (const Word& w : words)
        if (w.text.size() >= shortest && w.text.size() <= longest)
            found.push_back(&w);
    std::stable_sort(found.begin(), found.end(),
                     [](const Word* a, const Word* b) { return a->weight > b->weight; });
    QStringList list;
    for (size_t i = 0; i < found.size() && i < size_t(count); ++i) list << found[i]->text;
    return list;
}

bool WordTable::isPunctuation(QChar c) {
    return Article::isWubiPunctuation(c) || (c.unicode() < 0x80 && c.isPunct());
}

WordTable::Ideal WordTable::ideal(QStringView text) const {
    const int n = int(text.size());
    std::vector<int> best(n + 1, 0);
    std::vector<int> word(n + 1, -1);  // the word that starts at each position, -1: one character
    std::vector<int> step(n + 1, 1);
    const auto beforeMark = [&](int end) { return end < n && isPunctuation(text[end]); };
    for (int i = n - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (c.isLowSurrogate()) {
            best[i] = best[i + 1];
            continue;
        }
        const int width = c.isHighSurrogate() && i + 1 < n ? 2 : 1;
        best[i] = (isHan(c) || width == 2 ? kUnknownKeys : 1) + best[i + width];
        step[i] = width;
        word[i] = -1;
        int node = 0;
        for (int j = i; j < n && (node = child(node, text[j])) >= 0; ++j) {
            const int w = nodeWord[node];
            if (w < 0)
                continue;
            const bool mark = beforeMark(j + 1);
            const Way& way = mark ? words[w].beforeMark : words[w].plain;
            // On a tie the longer word wins: fewer words to think of.
            const int cost = way.keys(mark) + best[j + 1];
            if (cost <= best[i]) {
                best[i] = cost;
                word[i] = w;
                step[i] = j + 1 - i;
            }
        }
    }

    Ideal result;
    result.keys = best[0];
    for (int i = 0; i < n; i += step[i]) {
        ++result.characters;
        Segment s;
        s.from = i;
        s.length = step[i];
        if (word[i] < 0) {
            s.keys = best[i] - best[i + step[i]];
        } else {
            result.characters += step[i] - 1;
            const bool mark = beforeMark(i + step[i]);
            const Way& way = mark ? words[word[i]].beforeMark : words[word[i]].plain;
            s.code = unpack(way.code);
            s.keys = way.keys(mark);
            s.place = way.place;
            s.selection = way.place > 0;
            s.topScreen = mark && way.place == 0 && lengthOf(way.code) < 4;
        }
        result.segments.append(s);
    }
    return result;
}
