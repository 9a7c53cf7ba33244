#include "drills/hintlookup.h"

#include "data/query.h"
#include "data/table.h"
#include "drills/hintcode.h"
#include "resources/pictures.h"

const HintLookup::Hint* HintLookup::find(const QByteArray& key) {
    if (const int now = HintCode::inputMethodOrderNumber(); now != foundUnder) {
        found.clear();
        foundUnder = now;
    }
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
    hint.code = hintCode(table.FieldAsString(QStringLiteral("文字")), hint.shortCode,
                         table.FieldAsString(QStringLiteral("全码")));
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

QString HintLookup::hintCode(const QString& character, const QString& shortCode,
                             const QString& fullCode) {
    return HintCode::choose(order(), character, shortCode, fullCode).text();
}

const HintCode::Order& HintLookup::order() {
    if (!HintCode::inputMethodOrder().isEmpty())
        return HintCode::inputMethodOrder();
    if (!courseOrder) {
        // The rows in the table's own order (by full code, the more frequent first): without the
        // ordering SQLite may read them through an index that holds these fields.
        TQuery query(table.session(), QStringLiteral("courseOrder"));
        query.Open(QStringLiteral("\\mavro\\kzWb.DB"),
                   QStringLiteral("SELECT \"文字\", \"简码\", \"全码\" FROM %1 ORDER BY rowid"),
                   {});
        courseOrder.emplace();
        for (int row = 0; row < query.rowCount(); ++row) {
            const QString character = query.data(query.index(row, 0)).toString();
            const QString shortCode = query.data(query.index(row, 1)).toString().toLower();
            const QString fullCode = query.data(query.index(row, 2)).toString().toLower();
            courseOrder->add(shortCode, character);
            if (fullCode != shortCode)
                courseOrder->add(fullCode, character);
        }
    }
    return *courseOrder;
}
