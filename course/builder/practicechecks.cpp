#include "course/builder/practicechecks.h"

#include <QFont>
#include <QFontMetrics>
#include <QSet>
#include <algorithm>

#include "course/builder/tablewriter.h"
#include "platform/gbk.h"

namespace PracticeChecks {

namespace {

constexpr char kHome[] = "asdfghjkl";
constexpr char kUpper[] = "asdfghjklqwertyuiop";
constexpr char kLower[] = "asdfghjklzxcvbnm";
constexpr char kAll[] = "abcdefghijklmnopqrstuvwxyz";

// Finger lines should fill most of the box: at least this many characters.
constexpr int kFingerMinChars = 50;

bool isHan(QChar c) {
    return c.script() == QChar::Script_Han;
}

QString rowName(int row) {
    return QStringLiteral("row %1").arg(row);
}

const Lesson* lessonOf(int row) {
    for (const Lesson& lesson : catalogue())
        if (row >= lesson.first && row < lesson.first + lesson.count)
            return &lesson;
    return nullptr;
}

}  // namespace

const QList<Lesson>& catalogue() {
    static const QList<Lesson> lessons = {
        {"课程练习[&1]", 1, 8, Kind::Text, nullptr},
        {"课程练习[&2]", 9, 7, Kind::Text, nullptr},
        {"课程练习[&3]", 16, 6, Kind::Text, nullptr},
        {"课程练习[&4]", 22, 7, Kind::Text, nullptr},
        {"课程练习[&5]", 29, 5, Kind::Text, nullptr},
        {"课程练习[&6]", 34, 6, Kind::Text, nullptr},
        {"课程练习[&7]", 40, 5, Kind::Text, nullptr},
        {"文章练习[&1]", 45, 8, Kind::Text, nullptr},
        {"文章练习[&2]", 53, 8, Kind::Text, nullptr},
        {"文章练习[&3]", 61, 8, Kind::Text, nullptr},
        {"文章练习[&4]", 69, 8, Kind::Text, nullptr},
        {"(spare lines)", 77, 11, Kind::Spare, nullptr},
        {"键名及成字[&A]", 88, 5, Kind::Text, nullptr},
        {"高频字[&B]", 93, 8, Kind::Text, nullptr},
        {"二级简码[&1]", 101, 8, Kind::Text, nullptr},
        {"二级简码[&2]", 109, 8, Kind::Text, nullptr},
        {"二级简码[&3]", 117, 8, Kind::Text, nullptr},
        {"基准键[&A]", 125, 12, Kind::Finger, kHome},
        {"上排键[&B]", 137, 12, Kind::Finger, kUpper},
        {"下排键[&C]", 149, 12, Kind::Finger, kLower},
        {"指法综合练习[&1]", 161, 12, Kind::Finger, kAll},
        {"指法综合练习[&2]", 173, 12, Kind::Finger, kAll},
        {"指法综合练习[&3]", 185, 12, Kind::Finger, kAll},
        {"第一课文字测试[&F]", 197, 5, Kind::Text, nullptr},
        {"第二课文字测试[&J]", 202, 5, Kind::Text, nullptr},
        {"第三课文字测试[&Y]", 207, 6, Kind::Text, nullptr},
        {"键名成字练习[&P]", 213, 7, Kind::Text, nullptr},
        {"识别码练习[&T]", 220, 6, Kind::Text, nullptr},
        {"难字拆分练习[&N]", 226, 8, Kind::Text, nullptr},
        {"文字练习[&1]", 234, 8, Kind::Text, nullptr},
        {"文字练习[&2]", 242, 7, Kind::Text, nullptr},
    };
    return lessons;
}

int lineWidth(const QString& text, Kind kind) {
    // The drills name the font 宋体; fontconfig resolves it the same way here.
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(19);
    font.setBold(kind == Kind::Finger);
    return QFontMetrics(font).horizontalAdvance(text);
}

QStringList missingFromCodeTable(const QList<QString>& rows, const QHash<QString, QString>& codes) {
    QStringList missing;
    QSet<QString> seen;
    for (int i = 0; i < rows.size(); ++i) {
        const Lesson* lesson = lessonOf(i + 1);
        if (lesson && lesson->kind == Kind::Finger)
            continue;
        for (const QChar c : rows[i]) {
            const QString text(c);
            if (!isHan(c) || codes.contains(text) || seen.contains(text))
                continue;
            seen.insert(text);
            missing.append(QStringLiteral("%1: %2").arg(rowName(i + 1), text));
        }
    }
    return missing;
}

QStringList formatProblems(const QList<QString>& rows) {
    QStringList problems;
    for (int i = 0; i < rows.size(); ++i) {
        const QString& text = rows[i];
        const Lesson* lesson = lessonOf(i + 1);
        const Kind kind = lesson ? lesson->kind : Kind::Spare;
        const QString where = rowName(i + 1);
        if (text.isEmpty())
            problems.append(where + ": empty");
        if (!Gbk::canEncode(text))
            problems.append(where + ": characters GBK cannot encode");
        if (kind == Kind::Finger) {
            const QString allowed = QString::fromLatin1(lesson->keys) + QStringLiteral("; ");
            for (const QChar c : text)
                if (!allowed.contains(c)) {
                    problems.append(QStringLiteral("%1: '%2' is not trained by %3")
                                        .arg(where, c, QString::fromUtf8(lesson->name)));
                    break;
                }
            if (text.size() < kFingerMinChars)
                problems.append(QStringLiteral("%1: %2 characters do not fill the box")
                                    .arg(where)
                                    .arg(text.size()));
        } else if (text.size() > kTextLineChars) {
            problems.append(QStringLiteral("%1: %2 characters, a box shows %3")
                                .arg(where)
                                .arg(text.size())
                                .arg(kTextLineChars));
        }
        const int width = lineWidth(text, kind);
        if (width > kBoxWidth)
            problems.append(QStringLiteral("%1: %2 pixels wide, the box is %3")
                                .arg(where)
                                .arg(width)
                                .arg(kBoxWidth));
    }
    return problems;
}

QStringList shortCodeProblems(const QList<QString>& rows,
                              const QHash<QString, QString>& shortCodes) {
    QStringList problems;
    QStringList one, two;
    for (auto it = shortCodes.begin(); it != shortCodes.end(); ++it) {
        if (it.value().size() == 1)
            one.append(it.key());
        else if (it.value().size() == 2)
            two.append(it.key());
    }
    const auto byCode = [&](const QString& a, const QString& b) {
        return shortCodes.value(a) < shortCodes.value(b);
    };
    std::sort(two.begin(), two.end(), byCode);
    std::sort(one.begin(), one.end(), byCode);
    if (rows.size() < 124)
        return {QStringLiteral("fewer than 124 rows")};
    QString lessons;
    for (int row = 101; row <= 124; ++row) lessons += rows[row - 1];
    const QString expected = two.join(QString());
    if (lessons != expected) {
        int at = 0;
        while (at < lessons.size() && at < expected.size() && lessons[at] == expected[at]) ++at;
        problems.append(QStringLiteral("rows 101-124: character %1 is %2 where the code order "
                                       "gives %3 (%4 two-letter codes)")
                            .arg(at + 1)
                            .arg(lessons.mid(at, 1), expected.mid(at, 1))
                            .arg(two.size()));
    }
    QString head = rows[92].left(one.size());
    std::sort(head.begin(), head.end());
    QString firstLevel = one.join(QString());
    std::sort(firstLevel.begin(), firstLevel.end());
    if (one.size() != 25 || head != firstLevel)
        problems.append(
            QStringLiteral("row 93 must start with the %1 one-letter short codes").arg(one.size()));
    return problems;
}

QString verify(const QList<QString>& rows, const QList<WubiDict::CharCodes>& dictionary) {
    QHash<QString, QString> fullCodes, shortCodes;
    for (const WubiDict::CharCodes& c : dictionary) {
        fullCodes.insert(c.text, c.fullCode);
        shortCodes.insert(c.text, c.shortCode);
    }
    QStringList problems = formatProblems(rows);
    problems += shortCodeProblems(rows, shortCodes);
    const QStringList missing = missingFromCodeTable(rows, fullCodes);
    for (const QString& m : missing)
        problems.append(m + QStringLiteral(" has no code in the code table"));
    if (!problems.isEmpty())
        throw CourseError(QStringLiteral("111.DB:\n  ") + problems.join(QStringLiteral("\n  ")));

    QString report = QStringLiteral("111.DB: %1 rows\n").arg(rows.size());
    QSet<QChar> covered;
    for (const Lesson& lesson : catalogue()) {
        QSet<QChar> chars;
        for (int row = lesson.first; row < lesson.first + lesson.count; ++row)
            for (const QChar c : rows.value(row - 1))
                if (isHan(c))
                    chars.insert(c);
        covered.unite(chars);
        const QString content =
            lesson.kind == Kind::Finger
                ? QStringLiteral("keys %1 ; and space").arg(QString::fromLatin1(lesson.keys))
                : QStringLiteral("%1 distinct characters").arg(chars.size());
        report += QStringLiteral("  rows %1-%2 %3: %4 lines, %5\n")
                      .arg(lesson.first)
                      .arg(lesson.first + lesson.count - 1)
                      .arg(QString::fromUtf8(lesson.name))
                      .arg(lesson.count)
                      .arg(content);
    }
    report +=
        QStringLiteral("  distinct Chinese characters in all lessons: %1\n").arg(covered.size());
    return report;
}

}  // namespace PracticeChecks
