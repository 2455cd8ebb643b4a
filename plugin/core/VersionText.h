// Dotted version texts ("0.3.010", "1.0.71") compared part by part, as the status
// objects decide whether a newer firmware or plugin is known.
#pragma once

#include <QString>

#include <array>

namespace qel {

// The first three parts of a dotted version, missing or empty parts counting as 0.
// A part that is no whole number fails with the type-mismatch error, one outside the
// 16-bit range with the overflow error.
std::array<int, 3> VersionParts(const QString& version);

// True when `latest` is newer than `current`: the first part that differs decides.
bool IsNewerVersion(const QString& latest, const QString& current);

}  // namespace qel
