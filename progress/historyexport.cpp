#include "progress/historyexport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "platform/errors.h"

namespace HistoryExport {

namespace {

const QString kFormat = QStringLiteral("qorvex-history");

QString textOf(const History::Page& page) {
    QString text;
    for (const History::Stroke& s : page.strokes) text += s.character;
    return text;
}

QString csvField(QString text) {
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')))
        return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
               QLatin1Char('"');
    return text;
}

[[noreturn]] void malformed(const QString& why) {
    throw AppError(QStringLiteral("这不是可以导入的学习记录文件：%1。学习记录没有改动。").arg(why));
}

}  // namespace

QByteArray json(const QList<History::Page>& pages) {
    QJsonArray list;
    for (const History::Page& page : pages) {
        QJsonArray strokes;
        for (const History::Stroke& s : page.strokes) {
            QJsonObject stroke{{QStringLiteral("char"), s.character},
                               {QStringLiteral("ms"), qint64(s.ms)},
                               {QStringLiteral("wrong"), QJsonArray::fromStringList(s.wrongs)}};
            if (!s.code.isEmpty())
                stroke.insert(QStringLiteral("code"), s.code);
            strokes.append(stroke);
        }
        list.append(QJsonObject{
            {QStringLiteral("at"), page.at.toUTC().toString(Qt::ISODateWithMs)},
            {QStringLiteral("drill"), page.drill},
            {QStringLiteral("lesson"), page.lesson},
            {QStringLiteral("ms"), page.ms},
            {QStringLiteral("text"), textOf(page)},
            {QStringLiteral("strokes"), strokes},
        });
    }
    const QJsonObject top{{QStringLiteral("format"), kFormat},
                          {QStringLiteral("version"), 1},
                          {QStringLiteral("pages"), list}};
    return QJsonDocument(top).toJson(QJsonDocument::Compact);
}

QByteArray csv(const QList<History::Page>& pages) {
    QString out = QStringLiteral("at,drill,lesson,ms,amount,speed,errors,characters,wrong\n");
    for (const History::Page& page : pages) {
        qint64 wrong = page.errors;
        for (const History::Stroke& s : page.strokes) wrong += s.wrong;
        out += QStringList{page.at.toUTC().toString(Qt::ISODateWithMs),
                           page.drill,
                           csvField(page.lesson),
                           QString::number(page.ms),
                           QString::number(page.amount),
                           csvField(page.speedText),
                           QString::number(page.errors),
                           QString::number(page.strokes.size()),
                           QString::number(wrong)}
                   .join(QLatin1Char(',')) +
               QLatin1Char('\n');
    }
    return out.toUtf8();
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

void write(History::Store& store, const QString& path) {
    const QList<History::Page> pages = allPages(store);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(
            QStringLiteral("无法写入文件 %1：%2。").arg(path, Errors::fileProblem(file, true)));
    file.write(path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? csv(pages)
                                                                         : json(pages));
    if (!file.commit())
        throw AppError(
            QStringLiteral("无法写入文件 %1：%2。").arg(path, Errors::fileProblem(file, true)));
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
