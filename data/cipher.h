#pragma once

#include <QString>

struct sqlite3;

// Key and cipher settings shared by the engine and the course builder. The tables are SQLCipher 3
// files (Debian's sqlcipher tool reads them with the key and kdf_iter). The key derivation is cut
// to 64 rounds: start-up opens the tables and the password is no secret of the pupil's; the files
// stay unreadable without it.
namespace Cipher {

inline constexpr int kKdfIterations = 64;

// Sets a freshly opened handle to SQLCipher 3's format and keys it; returns false when SQLite
// refuses the settings.
bool applyKey(sqlite3* db, const QString& password);

// True when the keyed handle can read the file's schema (the key is right, or none is needed).
bool canRead(sqlite3* db);

// True when the file begins as an unkeyed SQLite database does; a SQLCipher file begins with
// its random salt.
bool isPlain(const QString& path);

}  // namespace Cipher
