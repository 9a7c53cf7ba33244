#include "progress/adaptivepractice.h"

#include <QDateTime>
#include <QRandomGenerator>

#include "data/history.h"
#include "platform/errors.h"
#include "progress/adaptivelesson.h"
#include "progress/textfeed.h"

namespace AdaptivePractice {

QStringList nextPage() {
    const AdaptiveLesson::Plan plan =
        AdaptiveLesson::pageFor(History::Store::instance(), Wubi::CodeBook::shared(),
                                *QRandomGenerator::global(), QDateTime::currentMSecsSinceEpoch());
    if (plan.lines.isEmpty())
        throw AppError(QStringLiteral("码表中找不到可以练习的字，无法生成智能练习。"));
    return plan.lines;
}

void show() {
    TextFeed::show(kCaption, nextPage(), [] {
        QStringList lines;
        Errors::guard(nullptr, [&] { lines = nextPage(); });
        return lines;
    });
}

}  // namespace AdaptivePractice
