#pragma once

#include <QString>

struct sqlite3;

// Key and cipher settings shared by the engine and the course builder. The key derivation is cut
// to 64 rounds: start-up opens five tables and the password is no secret of the pupil's;
// the files stay unreadable without it.
namespace Cipher {

inline constexpr int kKdfIterations = 64;

// Keys a freshly opened handle; returns false when SQLite refuses the settings.
bool applyKey(sqlite3* db, const QString& password);

// True when the keyed handle can read the file's schema (the key is right, or none is needed).
bool canRead(sqlite3* db);

}  // namespace Cipher
