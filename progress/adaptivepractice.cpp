#include "progress/adaptivepractice.h"

#include <QDateTime>
#include <QRandomGenerator>

#include "data/history.h"
#include "platform/errors.h"
#include "progress/textfeed.h"

namespace AdaptivePractice {

namespace {

AdaptiveLesson::Plan plan() {
    AdaptiveLesson::Plan plan =
        AdaptiveLesson::pageFor(History::Store::instance(), Wubi::CodeBook::shared(),
                                *QRandomGenerator::global(), QDateTime::currentMSecsSinceEpoch());
    if (plan.lines.isEmpty())
        throw AppError(QStringLiteral("码表中找不到可以练习的字，无法生成智能练习。"));
    return plan;
}

TextFeed::Made made(const AdaptiveLesson::Plan& plan) {
    return {plan.lines, heading(plan)};
}

}  // namespace

QStringList nextPage() {
    return plan().lines;
}

QString heading(const AdaptiveLesson::Plan& plan) {
    if (plan.fallBack || plan.focusRoot.isEmpty()) {
        QStringList keys;
        for (QChar key : plan.keys) keys << QString(key.toUpper());
        return QStringLiteral("本页练习：%1 键上的字根").arg(keys.join(QLatin1Char(' ')));
    }
    QString text =
        QStringLiteral("本页练习：字根 %1").arg(Wubi::CodeBook::rootText(plan.focusRoot));
    const QChar key = Wubi::CodeBook::shared().keyOf(plan.focusRoot);
    if (!key.isNull())
        text += QStringLiteral(" (%1)").arg(key.toUpper());
    if (!plan.reviews.isEmpty())
        text += QStringLiteral("，复习 %1 字").arg(plan.reviews.size());
    if (!plan.pairs.isEmpty())
        text += QStringLiteral("，易混字 %1 对").arg(plan.pairs.size());
    return text;
}

void show() {
    TextFeed::show(kCaption, made(plan()), [] {
        TextFeed::Made next;
        Errors::guard(nullptr, [&] { next = made(plan()); });
        return next;
    });
}

}  // namespace AdaptivePractice
