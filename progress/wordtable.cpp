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
        table.add(line.left(tab1).toString(), line.mid(tab1 + 1, tab2 - tab1 - 1).toString(),
                  place.trimmed().toInt(),
                  tab3 < 0 ? 0 : line.mid(tab3 + 1).trimmed().toLongLong());
    }
    return table;
}

int WordTable::Way::keys(bool beforePunctuation) const {
    const int letters = int(code.size());
    if (place > 0)
        return letters + 1;
    return letters + (letters < 4 && !beforePunctuation ? 1 : 0);
}

int WordTable::child(int node, QChar c) const {
    return children.value(quint64(node) << 16 | c.unicode(), -1);
}

void WordTable::add(const QString& word, const QString& code, int place, qint64 weight) {
    if (word.isEmpty() || code.isEmpty() || place < 0)
        return;
    QStringList& list = candidates[code];
    if (list.size() <= place)
        list.resize(place + 1);
    list[place] = word;

    int at = index.value(word, -1);
    if (at < 0) {
        at = int(words.size());
        index.insert(word, at);
        words.push_back({word, {code, place}, {code, place}, int(code.size()), weight});
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
        nodeWord[node] = at;
        return;
    }
    Word& w = words[at];
    const Way way{code, place};
    const auto better = [&](const Way& old, bool beforeMark) {
        const int a = way.keys(beforeMark), b = old.keys(beforeMark);
        return a < b || (a == b && place < old.place);
    };
    if (better(w.plain, false))
        w.plain = way;
    if (better(w.beforeMark, true))
        w.beforeMark = way;
    w.fullLength = qMax(w.fullLength, int(code.size()));
    w.weight = qMax(w.weight, weight);
}

int WordTable::wordIndex(QStringView word) const {
    int node = 0;
    for (QChar c : word)
        if ((node = child(node, c)) < 0)
            return -1;
    return nodeWord[node];
}

int WordTable::place(QStringView word, QStringView code) const {
    const auto found = candidates.constFind(code.toString());
    if (found == candidates.cend())
        return -1;
    const qsizetype at = found->indexOf(word);
    return at < 0 ? -1 : int(at);
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
            s.code = way.code;
            s.keys = way.keys(mark);
            s.place = way.place;
            s.selection = way.place > 0;
            s.topScreen = mark && way.place == 0 && way.code.size() < 4;
        }
        result.segments.append(s);
    }
    return result;
}
