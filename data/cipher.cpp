#include "data/cipher.h"

#include <sqlite3.h>
#include <QFile>

namespace Cipher {

bool applyKey(sqlite3* db, const QString& password) {
    // "legacy" first: it sets every parameter of that SQLCipher version, kdf_iter included.
    const int sqlcipher = sqlite3mc_cipher_index("sqlcipher");
    if (sqlcipher < 0 || sqlite3mc_config(db, "cipher", sqlcipher) != sqlcipher ||
        sqlite3mc_config_cipher(db, "sqlcipher", "legacy", 3) != 3 ||
        sqlite3mc_config_cipher(db, "sqlcipher", "kdf_iter", kKdfIterations) != kKdfIterations)
        return false;
    const QByteArray key = password.toUtf8();
    return sqlite3_key(db, key.constData(), int(key.size())) == SQLITE_OK;
}

bool canRead(sqlite3* db) {
    return sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr) ==
           SQLITE_OK;
}

bool isPlain(const QString& path) {
    static constexpr char header[] = "SQLite format 3";  // with its terminating 0: 16 bytes
    QFile file(path);
    return file.open(QIODevice::ReadOnly) &&
           file.read(sizeof header) == QByteArray(header, sizeof header);
}

}  // namespace Cipher
