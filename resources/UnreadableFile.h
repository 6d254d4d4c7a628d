#pragma once

#include <QString>

// A stored file that exists but does not read is never overwritten in place: it is renamed to
// "<name>.unreadable-<timestamp>" first, so that the user's data can still be recovered by hand. One that
// read only in part is kept the same way, as a copy "<name>.original-<timestamp>" beside it. No later save
// replaces either name. What is kept aside is made owner-only: it may hold the site password.
namespace UnreadableFile {

// Moves `path` aside (copies a regular file when it cannot be renamed). Returns the new name, or an
// empty string when the file could not be kept.
[[nodiscard]] QString keepAside(const QString& path);
// Keeps the regular file `path` as it is now under a new name beside it, and leaves it in its place.
// Returns that name (an earlier copy with the same content, when there is one), or an empty string when
// it could not be kept.
[[nodiscard]] QString keepCopyAside(const QString& path);

} // namespace UnreadableFile
