#pragma once

#include <QByteArray>
#include <QString>

// Files and folders that hold the user's data (the site password among it): created for the owner
// alone, and files written beside the old one and renamed over it, so that a crash or a full disk never
// leaves half a file. A symbolic link in a file's place is never written through.
namespace OwnerOnlyFile {

// Writes `bytes` to `path`; returns why it failed (the system's own words, such as "No space left on
// device"), or an empty text when it succeeded. A symbolic link at `path` is refused.
[[nodiscard]] QString write(const QString& path, const QByteArray& bytes);
// Keeps the regular file `path` as it is now under the name `copy` (owner-only), replacing an older
// copy; returns why it failed, or an empty text. A missing `path` leaves nothing to keep and succeeds.
[[nodiscard]] QString keepCopy(const QString& path, const QString& copy);
// Creates `folder` (and its parents) when it is missing and makes it owner-only; true when it exists
// afterwards.
[[nodiscard]] bool makeFolder(const QString& folder);
// Takes every permission from group and others; true when done or nothing was to be done.
bool makeOwnerOnly(const QString& path);

// Whether `fileName` is a name that write and keepCopy give their temporary files: the target's name,
// ".saving-" and six letters or digits. A process killed while it writes leaves such a file behind.
[[nodiscard]] bool isTemporaryName(const QString& fileName);
// Removes the regular files of this user in `folder` (not below it) that bear a temporary name; returns
// how many were removed. Only for a folder that no other process writes to at the same time.
int removeTemporaryFiles(const QString& folder);

} // namespace OwnerOnlyFile
