#pragma once

#include <QString>

// A stored file that exists but does not read is never overwritten in place: it is renamed to
// "<name>.unreadable-<timestamp>" first, so that the user's data can still be recovered by hand. What is
// kept aside is made owner-only: it may hold the site password.
namespace UnreadableFile {

// Moves `path` aside (copies a regular file when it cannot be renamed). Returns the new name, or an
// empty string when the file could not be kept.
[[nodiscard]] QString keepAside(const QString& path);

} // namespace UnreadableFile
