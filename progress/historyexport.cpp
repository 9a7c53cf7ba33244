#include "progress/historyexport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <charconv>

#include "platform/errors.h"

namespace HistoryExport {

namespace {

const QString kFormat = QStringLiteral("qorvex-history");

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

// Keys in the order Qt's writer sorts them, so that a file reads the same as before.
void appendPage(QByteArray& out, const History::Page& page) {
    out += "{\"at\":";
    appendString(out, page.at.toUTC().toString(Qt::ISODateWithMs));
    out += ",\"drill\":";
    appendString(out, page.drill);
    out += ",\"lesson\":";
    appendString(out, page.lesson);
    out += ",\"ms\":";
    appendNumber(out, page.ms);
    out += ",\"strokes\":[";
    QString text;
    for (qsizetype i = 0; i < page.strokes.size(); ++i) {
        const History::Stroke& s = page.strokes[i];
        text += s.character;
        out += i ? ",{\"char\":" : "{\"char\":";
        appendString(out, s.character);
        if (!s.code.isEmpty()) {
            out += ",\"code\":";
            appendString(out, s.code);
        }
        out += ",\"ms\":";
        appendNumber(out, s.ms);
        out += ",\"wrong\":[";
        for (qsizetype w = 0; w < s.wrongs.size(); ++w) {
            if (w)
                out += ',';
            appendString(out, s.wrongs[w]);
        }
        out += "]}";
    }
    out += "],\"text\":";
    appendString(out, text);
    out += '}';
}

QByteArray csvRow(const History::Page& page) {
    qint64 wrong = page.errors;
    for (const History::Stroke& s : page.strokes) wrong += s.wrong;
    return (QStringList{page.at.toUTC().toString(Qt::ISODateWithMs), page.drill,
                        csvField(page.lesson), QString::number(page.ms),
                        QString::number(page.amount), csvField(page.speedText),
                        QString::number(page.errors), QString::number(page.strokes.size()),
                        QString::number(wrong)}
                .join(QLatin1Char(',')) +
            QLatin1Char('\n'))
        .toUtf8();
}

constexpr char kCsvHeader[] = "at,drill,lesson,ms,amount,speed,errors,characters,wrong\n";
constexpr char kJsonHead[] = "{\"format\":\"qorvex-history\",\"pages\":[";
constexpr char kJsonTail[] = "],\"version\":1}";
constexpr qsizetype kPiece = 1 << 20;

[[noreturn]] void malformed(const QString& why) {
    throw AppError(QStringLiteral("这不是可以导入的学习记录文件：%1。学习记录没有改动。").arg(why));
}

}  // namespace

QByteArray json(const QList<History::Page>& pages) {
    QByteArray out = kJsonHead;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i)
            out += ',';
        appendPage(out, pages[i]);
    }
    return out + kJsonTail;
}

QByteArray csv(const QList<History::Page>& pages) {
    QByteArray out = kCsvHeader;
    for (const History::Page& page : pages) out += csvRow(page);
    return out;
}

QList<History::Page> readJson(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (doc.isNull())
        malformed(QStringLiteral("JSON 格式错误（位置 %1：%2）")
                      .arg(error.offset)
                      .arg(error.errorString()));
    const QJsonObject top = doc.object();
    if (top.value(QStringLiteral("format")).toString() != kFormat)
        malformed(QStringLiteral("缺少 \"format\": \"qorvex-history\""));
    if (top.value(QStringLiteral("version")).toInt() != 1)
        malformed(QStringLiteral("版本不是 1"));
    if (!top.value(QStringLiteral("pages")).isArray())
        malformed(QStringLiteral("缺少页面列表 \"pages\""));
    QList<History::Page> pages;
    int n = 0;
    for (const QJsonValue& value : top.value(QStringLiteral("pages")).toArray()) {
        ++n;
        const QJsonObject o = value.toObject();
        History::Page page;
        page.at = QDateTime::fromString(o.value(QStringLiteral("at")).toString(), Qt::ISODateWithMs)
                      .toUTC();
        page.drill = o.value(QStringLiteral("drill")).toString();
        page.lesson = o.value(QStringLiteral("lesson")).toString();
        page.ms = qint64(o.value(QStringLiteral("ms")).toDouble(-1));
        const bool knownDrill = page.drill == History::kText || page.drill == History::kRoot ||
                                page.drill == History::kFinger;
        if (!value.isObject() || !page.at.isValid() || !knownDrill || page.ms < 0 ||
            !o.value(QStringLiteral("strokes")).isArray())
            malformed(QStringLiteral("第 %1 页缺少时间、练习种类、用时或击键").arg(n));
        for (const QJsonValue& sv : o.value(QStringLiteral("strokes")).toArray()) {
            const QJsonObject so = sv.toObject();
            History::Stroke s;
            s.character = so.value(QStringLiteral("char")).toString();
            const double ms = so.value(QStringLiteral("ms")).toDouble(-1);
            if (s.character.isEmpty() || s.character.size() > 2 || ms < 0 || ms > 4e9 ||
                !so.value(QStringLiteral("wrong")).isArray())
                malformed(QStringLiteral("第 %1 页有一个击键不完整").arg(n));
            s.ms = quint32(ms);
            for (const QJsonValue& w : so.value(QStringLiteral("wrong")).toArray())
                s.wrongs << w.toString();
            s.wrong = quint32(s.wrongs.size());
            s.code = so.value(QStringLiteral("code")).toString();
            page.strokes << s;
        }
        page.amount = int(page.strokes.size());
        pages << page;
    }
    return pages;
}

QList<History::Page> allPages(History::Store& store) {
    QList<History::Page> pages;
    store.forEachPage(0, [&](qint64, const History::Page& page) {
        pages << page;
        return true;
    });
    return pages;
}

// Page by page as they are read, in pieces of kPiece: a year is tens of MiB of JSON.
void write(History::Store& store, const QString& path) {
    QSaveFile file(path);
    const auto fail = [&] {
        throw AppError(
            QStringLiteral("无法写入文件 %1：%2。").arg(path, Errors::fileProblem(file, true)));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail();
    const bool asCsv = path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    QByteArray out;
    out.reserve(kPiece + (1 << 16));
    out += asCsv ? kCsvHeader : kJsonHead;
    bool first = true, written = true;
    store.forEachPage(0, [&](qint64, const History::Page& page) {
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
    if (!asCsv)
        out += kJsonTail;
    if (!written || file.write(out) != out.size() || !file.commit())
        fail();
}

int merge(History::Store& store, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            QStringLiteral("无法打开文件 %1：%2。").arg(path, Errors::fileProblem(file, false)));
    const QList<History::Page> pages = readJson(file.readAll());
    const int added = store.merge(pages);
    if (added < 0)
        throw AppError(QStringLiteral("学习记录文件无法写入，%1 没有导入。").arg(path));
    return added;
}

}  // namespace HistoryExport
