#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The Wubi 86 roots of course/wubi/roots.txt: each root's key letter, by the root's name (its
// glyph, or "@name" for a drawn root).
class RootSet {
  public:
    static RootSet read(const QString& path);

    bool contains(const QString& root) const { return keys.contains(root); }
    QChar key(const QString& root) const { return keys.value(root); }
    const QStringList& roots() const { return order; }

  private:
    QHash<QString, QChar> keys;
    QStringList order;
};
