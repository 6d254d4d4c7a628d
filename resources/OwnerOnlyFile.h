#pragma once

#include <QByteArray>
#include <QString>

// Files and folders that hold the user's data: created for the owner alone, and files written beside
// the old one and renamed over it, so that a crash or a full disk never leaves half a file.
namespace OwnerOnlyFile {

// Writes `bytes` to `path`; returns why it failed, or an empty text when it succeeded.
[[nodiscard]] QString write(const QString& path, const QByteArray& bytes);
// Creates `folder` (and its parents) owner-only when it is missing; true when it exists afterwards.
[[nodiscard]] bool makeFolder(const QString& folder);

} // namespace OwnerOnlyFile
