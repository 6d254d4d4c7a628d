#pragma once

#include <QString>

// A stored file that exists but does not read is never overwritten in place: it is renamed to
// "<name>.unreadable-<timestamp>" first, so that the user's data can still be recovered by hand.
namespace UnreadableFile {

// Moves `path` aside (copies it when it cannot be renamed). Returns the new name, or an empty string
// when the file could not be kept.
[[nodiscard]] QString keepAside(const QString& path);

} // namespace UnreadableFile
