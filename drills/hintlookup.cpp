#include "drills/hintlookup.h"

#include "data/query.h"
#include "data/table.h"
#include "resources/pictures.h"

const HintLookup::Hint* HintLookup::find(const QByteArray& key) {
    if (const auto it = found.constFind(key); it != found.constEnd())
        return &*it;
    if (missing.contains(key))
        return nullptr;
    table.SetIndexName(QStringLiteral("WZindex"));
    if (!table.FindKey(key)) {
        missing.insert(key);
        return nullptr;
    }
    Hint hint;
    hint.shortCode = table.FieldAsString(QStringLiteral("简码"));
    for (int i = 0; i < 4; ++i)
        hint.pictures[i] =
            Pictures::fitted(table.FieldAsPicture(QStringLiteral("Pic%1").arg(i + 1)), pictureBox);
    return &*found.insert(key, hint);
}

QSet<QString> HintLookup::codedTexts(const QString& tablePath) {
    TQuery query(table.session(), QStringLiteral("codedTexts"));
    query.Open(tablePath, QStringLiteral("SELECT \"文字\" FROM %1"), {});
    QSet<QString> texts;
    texts.reserve(query.rowCount());
    for (int row = 0; row < query.rowCount(); ++row)
        texts.insert(query.data(query.index(row, 0)).toString());
    return texts;
}
