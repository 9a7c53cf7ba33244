#include "data/cipher.h"

#include <sqlite3.h>

namespace Cipher {

bool applyKey(sqlite3* db, const QString& password) {
    const QByteArray key = password.toUtf8();
    if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
        return false;
    const QByteArray pragma = "PRAGMA kdf_iter = " + QByteArray::number(kKdfIterations) + ";";
    return sqlite3_exec(db, pragma.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool canRead(sqlite3* db) {
    return sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr) ==
           SQLITE_OK;
}

}  // namespace Cipher
