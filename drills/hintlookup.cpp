#include "drills/hintlookup.h"

#include "data/table.h"

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
        hint.pictures[i] = table.FieldAsPicture(QStringLiteral("Pic%1").arg(i + 1));
    return &*found.insert(key, hint);
}

bool HintLookup::hasRow(const QByteArray& key) {
    if (found.contains(key))
        return true;
    if (missing.contains(key))
        return false;
    table.SetIndexName(QStringLiteral("WZindex"));
    return table.FindKey(key);
}
