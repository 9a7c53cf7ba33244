#include "course/builder/frequency.h"
#include "course/builder/rimedict.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <algorithm>

#include "course/builder/tablewriter.h"
#include "platform/gbk.h"

namespace Frequency {

QString defaultPath() {
    const QString env = qEnvironmentVariable("QORVEX_PINYIN_DICT");
    return env.isEmpty() ? QString::fromLatin1(kDefaultPath) : env;
}

QList<Weight> read(const QString& path) {
    QHash<QString, qsizetype> place;
    QList<Weight> weights;
    RimeDict::forEachRow(path, QStringLiteral("rime-data-pinyin-simp"),
                         [&](const QStringList& fields, int) {
                             // A character outside the basic plane is two code units: the
                             // tables hold none.
                             if (fields.size() < 3 || fields[0].size() != 1)
                                 return;
                             const double weight = fields[2].toDouble();
                             if (weight <= 0)
                                 return;
                             auto it = place.constFind(fields[0]);
                             if (it == place.constEnd()) {
                                 it = place.insert(fields[0], weights.size());
                                 weights.append({fields[0], 0});
                             }
                             weights[*it].weight += weight;
                         });
    std::stable_sort(weights.begin(), weights.end(),
                     [](const Weight& a, const Weight& b) { return a.weight > b.weight; });
    return weights;
}

QString build(const QString& path, const QString& dataDir) {
    const QString out = QDir(dataDir).filePath(QString::fromLatin1(kFileName));
    QByteArray text;
    int written = 0;
    for (const Weight& w : read(path)) {
        if (!Gbk::canEncode(w.character))
            continue;
        text += w.character.toUtf8() + '\t' + QByteArray::number(qint64(w.weight)) + '\n';
        ++written;
    }
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw CourseError(QStringLiteral("%1: %2").arg(out, file.errorString()));
    return QStringLiteral("%1: %2 characters by frequency\n").arg(out).arg(written);
}

}  // namespace Frequency
