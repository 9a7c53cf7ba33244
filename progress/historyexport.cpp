#include "progress/historyexport.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <charconv>
#include <cmath>

#include "data/historyfiles.h"
#include "platform/errors.h"

namespace HistoryExport {

namespace {

using History::Page;
using History::Stroke;

const QString kFormat = QStringLiteral("qorvex-history");
constexpr int kVersion = 2;

QString csvField(QString text) {
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')))
        return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
               QLatin1Char('"');
    return text;
}

// A JSON string as Qt's compact writer makes it, written straight into out: a year of strokes is
// a million small objects, which cost seconds as QJsonObjects.
void appendString(QByteArray& out, QStringView text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u < 0x80 && u != '"' && u != '\\') {
            out += char(u);
        } else if (u == '"' || u == '\\') {
            out += '\\';
            out += char(u);
        } else if (u < 0x20) {
            const char* named = u == '\b'   ? "\\b"
                                : u == '\f' ? "\\f"
                                : u == '\n' ? "\\n"
                                : u == '\r' ? "\\r"
                                : u == '\t' ? "\\t"
                                            : nullptr;
            if (named)
                out += named;
            else
                out += QByteArray("\\u00") + kHex[u >> 4] + kHex[u & 0xF];
        } else if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            const char32_t c = QChar::surrogateToUcs4(u, text[++i].unicode());
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else if (QChar::isSurrogate(u)) {
            out += QByteArray("\\u") + kHex[u >> 12] + kHex[(u >> 8) & 0xF] + kHex[(u >> 4) & 0xF] +
                   kHex[u & 0xF];
        } else if (u < 0x800) {
            out += char(0xC0 | (u >> 6));
            out += char(0x80 | (u & 0x3F));
        } else {
            out += char(0xE0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3F));
            out += char(0x80 | (u & 0x3F));
        }
    }
    out += '"';
}

void appendNumber(QByteArray& out, qint64 value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

void appendStrokes(QByteArray& out, const Page& page) {
    out += '[';
    for (qsizetype i = 0; i < page.strokes.size(); ++i) {
        const Stroke& s = page.strokes[i];
        out += i ? ",{\"char\":" : "{\"char\":";
        appendString(out, s.character);
        if (!s.code.isEmpty()) {
            out += ",\"code\":";
            appendString(out, s.code);
        }
        if (s.hinted)
            out += ",\"hint\":true";
        out += ",\"ms\":";
        appendNumber(out, s.ms);
        out += ",\"wrong\":[";
        for (qsizetype w = 0; w < s.wrongs.size(); ++w) {
            if (w)
                out += ',';
            appendString(out, s.wrongs[w]);
        }
        out += ']';
        if (s.wrong != quint32(s.wrongs.size())) {
            out += ",\"wrongCount\":";
            appendNumber(out, s.wrong);
        }
        out += '}';
    }
    out += ']';
}

// A whole number from 0 to most; false for anything else.
bool wholeNumber(const QJsonValue& value, qint64 most, qint64& n) {
    const double d = value.toDouble(-1);
    if (!value.isDouble() || !(d >= 0 && d <= double(most)) || d != std::floor(d))
        return false;
    n = qint64(d);
    return true;
}

QString readStrokes(const QJsonValue& value, Page& page) {
    if (!value.isArray())
        return QStringLiteral("缺少击键");
    const QJsonArray strokes = value.toArray();
    if (strokes.size() > History::kMostStrokes)
        return QStringLiteral("击键超过 %1 个").arg(History::kMostStrokes);
    page.strokes.reserve(strokes.size());
    for (qsizetype i = 0; i < strokes.size(); ++i) {
        const QJsonObject o = strokes[i].toObject();
        const QJsonValue character = o.value(QLatin1String("char")),
                         wrong = o.value(QLatin1String("wrong")),
                         code = o.value(QLatin1String("code")),
                         hint = o.value(QLatin1String("hint")),
                         count = o.value(QLatin1String("wrongCount"));
        Stroke s;
        qint64 ms = 0, n = 0;
        bool whole = character.isString() &&
                     wholeNumber(o.value(QLatin1String("ms")), History::kLongestMs, ms) &&
                     wrong.isArray() && wrong.toArray().size() <= History::kMostWrong &&
                     (code.isUndefined() || code.isString()) &&
                     (hint.isUndefined() || hint.isBool()) &&
                     (count.isUndefined() || wholeNumber(count, History::kMostWrong, n));
        for (const QJsonValue w : wrong.toArray()) {
            whole = whole && w.isString();
            s.wrongs << w.toString();
        }
        if (!whole)
            return QStringLiteral("第 %1 个击键不完整").arg(i + 1);
        s.character = character.toString();
        s.ms = quint32(ms);
        s.wrong = quint32(qMax<qint64>(n, s.wrongs.size()));
        s.code = code.toString();
        s.hinted = hint.toBool();
        page.strokes << s;
    }
    return {};
}

// A page's fields in the JSON export, in the order Qt's writer sorts keys, so that a file reads
// as Qt would write it. Each field writes its value and reads it back: a field added here is
// exported and imported with nothing else to change. A field a version 1 file lacks keeps the
// page's default on reading.
struct Field {
    const char* name;
    void (*write)(QByteArray& out, const Page& page);
    // Reads the value (undefined when the page has no such field) into page: empty, or what is
    // wrong with it.
    QString (*read)(const QJsonValue& value, Page& page);
};

template <int Page::*member>
constexpr Field count(const char* name) {
    return {name, [](QByteArray& out, const Page& page) { appendNumber(out, page.*member); },
            [](const QJsonValue& value, Page& page) {
                qint64 n = 0;
                if (value.isUndefined())
                    return QString();
                if (!wholeNumber(value, History::kMostCount, n))
                    return QStringLiteral("字数、错误数或页码超出范围");
                page.*member = int(n);
                return QString();
            }};
}

template <QString Page::*member>
constexpr Field text(const char* name) {
    return {name, [](QByteArray& out, const Page& page) { appendString(out, page.*member); },
            [](const QJsonValue& value, Page& page) {
                if (!value.isUndefined() && !value.isString())
                    return member == &Page::lesson ? QStringLiteral("课程名称不是文字")
                                                   : QStringLiteral("速度不是文字");
                page.*member = value.toString();
                return QString();
            }};
}

// The counts behind a text page's measures, in the order Qt's writer sorts their keys.
struct MeasureKey {
    const char* name;
    int History::Measures::*member;
};
const MeasureKey kMeasureKeys[] = {
    {"backspaces", &History::Measures::backspaces},
    {"characters", &History::Measures::characters},
    {"committed", &History::Measures::committed},
    {"erased", &History::Measures::erased},
    {"idealKeys", &History::Measures::idealKeys},
    {"keys", &History::Measures::keys},
    {"selections", &History::Measures::selections},
    {"wordCharacters", &History::Measures::wordCharacters},
    {"wrong", &History::Measures::wrong},
};

// A JSON object of one member for each entry of keys, each named key.name and written by value.
template <typename Keys, typename Value>
void appendObject(QByteArray& out, const Keys& keys, Value value) {
    char separator = '{';
    for (const auto& key : keys) {
        out += separator;
        out += '"';
        out += key.name;
        out += "\":";
        value(key);
        separator = ',';
    }
    out += '}';
}

void appendMeasures(QByteArray& out, const Page& page) {
    if (page.measures.isEmpty()) {
        out += "null";
        return;
    }
    appendObject(out, kMeasureKeys,
                 [&](const MeasureKey& key) { appendNumber(out, page.measures.*key.member); });
}

QString readMeasures(const QJsonValue& value, Page& page) {
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isObject())
        return QStringLiteral("打字指标不是一组数");
    const QJsonObject o = value.toObject();
    for (const MeasureKey& key : kMeasureKeys) {
        qint64 n = 0;
        if (!wholeNumber(o.value(QLatin1String(key.name)), History::kMostCount, n))
            return QStringLiteral("打字指标缺少一项或超出范围");
        page.measures.*key.member = int(n);
    }
    return {};
}

const Field kFields[] = {
    count<&Page::amount>("amount"),
    {"at",
     [](QByteArray& out, const Page& page) {
         appendString(out, page.at.toUTC().toString(Qt::ISODateWithMs));
     },
     [](const QJsonValue& value, Page& page) {
         page.at = QDateTime::fromString(value.toString(), Qt::ISODateWithMs).toUTC();
         return page.at.isValid() ? QString() : QStringLiteral("缺少时间，或者时间无效");
     }},
    {"drill", [](QByteArray& out, const Page& page) { appendString(out, page.drill); },
     [](const QJsonValue& value, Page& page) {
         page.drill = value.toString();
         return QString();  // told by History::problemOf
     }},
    count<&Page::errors>("errors"),
    text<&Page::lesson>("lesson"),
    {"measures", appendMeasures, readMeasures},
    {"ms", [](QByteArray& out, const Page& page) { appendNumber(out, page.ms); },
     [](const QJsonValue& value, Page& page) {
         return wholeNumber(value, History::kLongestMs, page.ms)
                    ? QString()
                    : QStringLiteral("缺少用时，或者用时不在 0 到 24 小时之间");
     }},
    count<&Page::pageNo>("pageNo"),
    count<&Page::rangeFirst>("rangeFirst"),
    count<&Page::rangeSecond>("rangeSecond"),
    text<&Page::speedText>("speedText"),
    {"strokes", appendStrokes, readStrokes},
    {"text",
     [](QByteArray& out, const Page& page) {
         QString characters;
         for (const Stroke& s : page.strokes) characters += s.character;
         appendString(out, characters);
     },
     nullptr},
};

void appendPage(QByteArray& out, const Page& page) {
    appendObject(out, kFields, [&](const Field& field) { field.write(out, page); });
}

// Empty when the page was read whole, else what is wrong with it.
QString readPage(const QJsonObject& o, Page& page) {
    page.amount = -1;
    for (const Field& field : kFields) {
        if (!field.read)
            continue;
        const QString why = field.read(o.value(QLatin1String(field.name)), page);
        if (!why.isEmpty())
            return why;
    }
    if (page.amount < 0)  // a version 1 file
        page.amount = int(page.strokes.size());
    return History::problemOf(page);
}

// "课程练习[&1]" as the pupil reads it: "课程练习1".
QString withoutAccelerator(const QString& caption) {
    static const QRegularExpression marked(QStringLiteral("\\[&(.)\\]"));
    return QString(caption).replace(marked, QStringLiteral("\\1"));
}

// The typists' counts of a text page, empty cells for a page without them.
QStringList measureCells(const History::Measures& m) {
    QStringList cells;
    for (int History::Measures::*member :
         {&History::Measures::keys, &History::Measures::backspaces, &History::Measures::erased,
          &History::Measures::wordCharacters, &History::Measures::selections,
          &History::Measures::idealKeys})
        cells << (m.isEmpty() ? QString() : QString::number(m.*member));
    return cells;
}

QByteArray csvRow(const Page& page) {
    // Wrong attempts, and the characters that had one; a page kept without its strokes has its
    // drill's own count only.
    qint64 errors = 0, wrongCharacters = 0;
    for (const Stroke& s : page.strokes) {
        errors += s.wrong;
        wrongCharacters += s.wrong > 0;
    }
    const bool counted = !page.strokes.isEmpty();
    const QStringList cells = QStringList{page.at.toUTC().toString(Qt::ISODateWithMs),
                                          page.drill,
                                          csvField(withoutAccelerator(page.lesson)),
                                          QString::number(page.ms),
                                          QString::number(page.amount),
                                          QString::number(History::speedValue(page.speedText)),
                                          QString::number(counted ? errors : page.errors),
                                          QString::number(page.strokes.size()),
                                          counted ? QString::number(wrongCharacters) : QString()} +
                              measureCells(page.measures);
    return (cells.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8();
}

constexpr char kCsvHeader[] =
    "at,drill,lesson,ms,amount,speed,errors,characters,wrong_characters,keys,backspaces,erased,"
    "word_characters,selections,ideal_keys\n";
constexpr char kJsonHead[] = "{\"format\":\"qorvex-history\",\"pages\":[";
constexpr char kJsonTail[] = "],\"version\":2}";
constexpr qsizetype kPiece = 1 << 20;
// The largest page an import reads: a page of kMostStrokes strokes with their codes and wrong
// attempts fits well within it.
constexpr qsizetype kLargestPage = 64 << 20;
// The top object's other values (its format and version).
constexpr qsizetype kLargestValue = 4096;
// Skipped pages named in the pupil's message.
constexpr int kReasonsTold = 5;

[[noreturn]] void malformed(const QString& why) {
    throw AppError(QStringLiteral("这不是可以导入的学习记录文件：%1。学习记录没有改动。").arg(why));
}

// Reads a JSON export a piece at a time: the top object's small values whole and its pages one
// by one, so that a file of years takes little more memory than its largest page.
class Reader {
  public:
    explicit Reader(QIODevice& in) : in(in) {}

    // The next byte that is not white space, 0 at the end of the file.
    char peek() {
        for (;; ++pos) {
            if (pos == piece.size() && !more())
                return 0;
            const char c = piece[pos];
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                return c;
        }
    }
    void expect(char wanted) {
        const char c = peek();
        if (c != wanted)
            unexpected(c);
        ++pos;
    }
    // ',' or end, taken.
    bool another(char end) {
        const char c = peek();
        if (c != ',' && c != end)
            unexpected(c);
        ++pos;
        return c == ',';
    }
    [[noreturn]] void unexpected(char c) const {
        malformed(c ? QStringLiteral("JSON 格式错误（位置 %1：这里不该是“%2”）")
                          .arg(offset())
                          .arg(QLatin1Char(c))
                    : QStringLiteral("JSON 格式错误（位置 %1：文件在这里就结束了）").arg(offset()));
    }
    qint64 offset() const { return base + pos; }

    // The bytes of the value that starts here, scanned to its end without checking its inside.
    // Beyond limit its bytes are passed over, not kept, and tooLong is set.
    QByteArray value(qsizetype limit, bool& tooLong) {
        QByteArray out;
        tooLong = false;
        const char first = peek();
        if (!first)
            unexpected(first);
        const bool scalar = first != '{' && first != '[' && first != '"';
        int depth = 0;
        bool inString = false, escaped = false;
        // The bytes scanned in this piece are kept in one append, not byte by byte.
        qsizetype from = pos;
        const auto keep = [&](qsizetype to) {
            const qsizetype room = qMax<qsizetype>(0, limit - out.size());
            out.append(piece.constData() + from, qMin(room, to - from));
            tooLong = tooLong || to - from > room;
        };
        for (;;) {
            if (pos == piece.size()) {
                keep(pos);
                if (!more()) {
                    if (scalar)
                        return out;
                    unexpected(0);
                }
                from = pos;
            }
            const char c = piece[pos];
            if (scalar && (c == ',' || c == '}' || c == ']' || c == ' ' || c == '\n' || c == '\r' ||
                           c == '\t')) {
                keep(pos);
                return out;
            }
            ++pos;
            if (scalar)
                continue;
            bool done = false;
            if (inString) {
                if (escaped)
                    escaped = false;
                else if (c == '\\')
                    escaped = true;
                else if (c == '"')
                    inString = false;
                done = !inString && depth == 0;
            } else if (c == '"') {
                inString = true;
            } else if (c == '{' || c == '[') {
                ++depth;
            } else if (c == '}' || c == ']') {
                done = --depth == 0;
            }
            if (done) {
                keep(pos);
                return out;
            }
        }
    }

    // A small value of the top object.
    QJsonValue small() {
        const qint64 at = offset();
        bool tooLong = false;
        const QByteArray bytes = value(kLargestValue, tooLong);
        if (tooLong)
            malformed(QStringLiteral("位置 %1 的值太长").arg(at));
        return parse("[" + bytes + "]", at - 1).array().at(0);
    }

    static QJsonDocument parse(const QByteArray& bytes, qint64 at) {
        QJsonParseError error;
        QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
        if (doc.isNull())
            malformed(QStringLiteral("JSON 格式错误（位置 %1：%2）")
                          .arg(at + error.offset)
                          .arg(error.errorString()));
        return doc;
    }

  private:
    bool more() {
        base += piece.size();
        pos = 0;
        piece = in.read(kPiece);
        return !piece.isEmpty();
    }

    QIODevice& in;
    QByteArray piece;
    qsizetype pos = 0;
    qint64 base = 0;
};

// Reads the pages of a JSON export, handing each sound one to add; the rest are counted in merged.
void readJson(QIODevice& in, const std::function<void(const Page&)>& add, Merged& merged) {
    Reader reader(in);
    QString format;
    int version = 0, n = 0;
    bool sawPages = false;
    reader.expect('{');
    if (reader.peek() == '}')
        reader.expect('}');
    else
        do {
            const QString key = reader.small().toString();
            reader.expect(':');
            if (key == QLatin1String("pages") && !sawPages) {
                sawPages = true;
                reader.expect('[');
                if (reader.peek() == ']') {
                    reader.expect(']');
                    continue;
                }
                do {
                    ++n;
                    const qint64 at = reader.offset();
                    bool tooLong = false;
                    const QByteArray bytes = reader.value(kLargestPage, tooLong);
                    Page page;
                    QString why;
                    if (tooLong)
                        why = QStringLiteral("超过 %1 MiB").arg(kLargestPage >> 20);
                    else if (const QJsonDocument doc = Reader::parse(bytes, at); !doc.isObject())
                        why = QStringLiteral("不是一个页面");
                    else
                        why = readPage(doc.object(), page);
                    if (why.isEmpty()) {
                        add(page);
                    } else if (++merged.skipped <= kReasonsTold) {
                        merged.reasons << QStringLiteral("第 %1 页：%2").arg(n).arg(why);
                    }
                } while (reader.another(']'));
                continue;
            }
            const QJsonValue value = reader.small();
            if (key == QLatin1String("format") &&
                (format = value.toString()) != kFormat)  // another program's file: no further
                break;
            if (key == QLatin1String("version"))
                version = value.toInt();
        } while (reader.another('}'));
    if (format != kFormat)
        malformed(QStringLiteral("缺少 \"format\": \"qorvex-history\""));
    if (reader.peek())
        reader.unexpected(reader.peek());
    if (version < 1 || version > kVersion)
        malformed(QStringLiteral("版本不是 1 或 2"));
    if (!sawPages)
        malformed(QStringLiteral("缺少页面列表 \"pages\""));
    if (n > 0 && merged.skipped == n)
        malformed(QStringLiteral("没有一页可以导入（%1）")
                      .arg(merged.reasons.join(QStringLiteral("；"))));
}

}  // namespace

Format formatOf(const QString& path) {
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? Format::Csv : Format::Json;
}

QByteArray json(const QList<Page>& pages) {
    QByteArray out = kJsonHead;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i)
            out += ',';
        appendPage(out, pages[i]);
    }
    return out + kJsonTail;
}

QByteArray csv(const QList<Page>& pages) {
    QByteArray out = kCsvHeader;
    for (const Page& page : pages) out += csvRow(page);
    return out;
}

QString Merged::text() const {
    QString said = QStringLiteral("导入了 %1 页新的练习记录。").arg(added);
    if (skipped > 0)
        said += QStringLiteral("有 %1 页记录有问题，没有导入：%2%3。")
                    .arg(skipped)
                    .arg(reasons.join(QStringLiteral("；")),
                         skipped > reasons.size() ? QStringLiteral("……") : QString());
    return said;
}

namespace {

// The measures live in a table of their own; a text page is known there by its time and length.
using Measured = QHash<QPair<qint64, qint64>, History::Measures>;
Measured measuredPages(History::Store& store) {
    Measured measured;
    store.forEachMeasured(History::kText, [&](qint64 at, qint64 ms, const History::Measures& m) {
        measured.insert({at, ms}, m);
    });
    return measured;
}

}  // namespace

QList<Page> allPages(History::Store& store) {
    const Measured measured = measuredPages(store);
    QList<Page> pages;
    store.forEachPage(0, [&](qint64, const Page& page) {
        pages << page;
        if (page.drill == History::kText)
            pages.last().measures = measured.value({page.at.toMSecsSinceEpoch(), page.ms});
        return true;
    });
    return pages;
}

void write(History::Store& store, const QString& path) {
    write(store, path, formatOf(path));
}

// Page by page as they are read, in pieces of kPiece: a year is tens of MiB of JSON.
void write(History::Store& store, const QString& path, Format format) {
    if (const QString why = History::notRegularForWriting(path); !why.isEmpty())
        throw AppError(QStringLiteral("无法写入 %1：%2。").arg(path, why));
    QSaveFile file(path);
    const auto fail = [&] {
        throw AppError(
            QStringLiteral("无法写入文件 %1：%2。").arg(path, Errors::fileProblem(file, true)));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail();
    const bool asCsv = format == Format::Csv;
    QByteArray out;
    out.reserve(kPiece + (1 << 16));
    out += asCsv ? kCsvHeader : kJsonHead;
    const Measured measured = measuredPages(store);
    bool first = true, written = true;
    const bool read = store.readPages([&](const Page& stored) {
        Page page = stored;
        if (page.drill == History::kText)
            page.measures = measured.value({page.at.toMSecsSinceEpoch(), page.ms});
        if (asCsv) {
            out += csvRow(page);
        } else {
            if (!first)
                out += ',';
            appendPage(out, page);
        }
        first = false;
        if (out.size() >= kPiece) {
            written = file.write(out) == out.size();
            out.resize(0);  // keeps the buffer for the next piece
        }
        return written;
    });
    if (!read && written) {
        file.cancelWriting();
        throw AppError(QStringLiteral("无法读取学习记录文件 %1（%2），没有导出。")
                           .arg(store.path(), store.readProblem()));
    }
    if (!asCsv)
        out += kJsonTail;
    if (!written || file.write(out) != out.size() || !file.commit())
        fail();
}

Merged merge(History::Store& store, const QString& path) {
    QFile file;
    if (const QString why = History::openRegular(file, path); !why.isEmpty())
        throw AppError(QStringLiteral("无法打开文件 %1：%2。学习记录没有改动。").arg(path, why));
    Merged merged;
    merged.added = store.merge([&](const std::function<void(const Page&)>& add) {
        readJson(file, add, merged);
        if (file.error() != QFileDevice::NoError)
            throw AppError(QStringLiteral("读取文件 %1 时出错：%2。学习记录没有改动。")
                               .arg(path, Errors::fileProblem(file, false)));
    });
    if (merged.added < 0)
        throw AppError(QStringLiteral("学习记录文件无法写入，%1 没有导入。").arg(path));
    return merged;
}

}  // namespace HistoryExport
