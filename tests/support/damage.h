#pragma once

#include <QString>

// Damages a practice table of a fixture course in place, as a bad copy or a failing disk would.
namespace Damage {

enum class Kind {
    Truncated,      // only the first half of the file is left
    RandomBytes,    // every byte after the first page is random
    Rekeyed,        // whole and readable, but under another password
    Empty,          // 0 bytes
    MissingColumn,  // the table lost the column named
    MissingIndex,   // the file lost the index named
};

// False when the damage could not be done.
[[nodiscard]] bool table(const QString& path, Kind kind, const QString& name = {});

}  // namespace Damage
