#include "StateFileCopy.h"

#include <QList>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <utility>

namespace StateFileCopy {

namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF");

} // namespace

std::optional<QByteArray> withoutPassword(const QByteArray& bytes, QString& why)
{
    // The reader counts its positions in UTF-16 units of the decoded text (a byte-order mark not
    // counted), so the cut is made in that text; it goes back to the same bytes only when they were
    // plain UTF-8 throughout.
    const bool bom = bytes.startsWith(utf8Bom);
    const QByteArray body = bom ? bytes.mid(utf8Bom.size()) : bytes;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(body);
    if (decoder.hasError() || text.toUtf8() != body) {
        why = QStringLiteral("the state file is not UTF-8 text");
        return std::nullopt;
    }

    QXmlStreamReader reader(bytes);
    // The cuts in text positions: from the end of a password's start tag to the start of its end tag.
    QList<std::pair<qint64, qint64>> cuts;
    QStringList path;
    qint64 contentStart = -1;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument: {
            const QString encoding = reader.documentEncoding().toString();
            if (!encoding.isEmpty() && encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0) {
                why = QStringLiteral("the state file declares the encoding %1").arg(encoding);
                return std::nullopt;
            }
            break;
        }
        case QXmlStreamReader::DTD:
            why = QStringLiteral("the state file declares a document type, whose entities could hold the "
                                 "password");
            return std::nullopt;
        case QXmlStreamReader::StartElement:
            path.append(reader.name().toString());
            if (path.size() == 3 && path.at(1) == QLatin1String("Settings") &&
                path.at(2) == QLatin1String("Password"))
                contentStart = reader.characterOffset();
            break;
        case QXmlStreamReader::EndElement:
            if (contentStart >= 0 && path.size() == 3) {
                const qint64 end = reader.characterOffset();
                // An empty element (<Password/>) ends where it starts: nothing to take out.
                if (end > contentStart) {
                    const qint64 endTag = text.lastIndexOf(QLatin1Char('<'), end - 1);
                    if (contentStart < 1 || text.at(contentStart - 1) != QLatin1Char('>') ||
                        endTag < contentStart || text.mid(endTag, 2) != QLatin1String("</")) {
                        why = QStringLiteral("the password's place in the state file could not be found");
                        return std::nullopt;
                    }
                    cuts.append({contentStart, endTag});
                }
                contentStart = -1;
            }
            path.removeLast();
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        why = QStringLiteral("the state file is not well-formed XML (line %1: %2)")
                  .arg(reader.lineNumber())
                  .arg(reader.errorString());
        return std::nullopt;
    }

    // From the last cut back, so the earlier positions still hold.
    for (auto it = cuts.crbegin(); it != cuts.crend(); ++it)
        text.remove(it->first, it->second - it->first);
    return (bom ? utf8Bom : QByteArray()) + text.toUtf8();
}

bool holdsPassword(const QByteArray& bytes)
{
    QString why;
    const std::optional<QByteArray> copy = withoutPassword(bytes, why);
    return copy && *copy != bytes;
}

} // namespace StateFileCopy
