#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The state file as it goes into a debug package: the site password taken out, every other byte as the
// main program wrote it, so that support sees the real file.
namespace StateFileCopy {

// `bytes` with the text of every "Settings/Password" element under the document element emptied. Nothing
// (and the reason in `why`) when the password cannot be found for certain: text that is not well-formed
// XML, is not UTF-8, or declares a document type whose entities could carry the password elsewhere.
std::optional<QByteArray> withoutPassword(const QByteArray& bytes, QString& why);

// Whether `bytes` are a state file with a password in it: what withoutPassword would take something out of.
bool holdsPassword(const QByteArray& bytes);

} // namespace StateFileCopy
