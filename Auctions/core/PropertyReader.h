#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

class XMLManager;

// Reads the values of a stored object from the manager's current element, each by the rule of its kind.
// A missing element gives the default; a present one is converted, and a text that does not convert
// gives 0 or keeps the field, as its kind says. Nothing here throws on bad text.
class PropertyReader
{
public:
    explicit PropertyReader(const XMLManager& loader) : m_loader(loader) {}

    QString text(const QString& name, const QString& defaultValue = QString()) const;
    // The leading number, halves to even; a text that is no number (or too large) reads as 0.
    qint32 whole(const QString& name, qint32 defaultValue) const;
    // The whole text as a number (a fraction rounded, halves to even); a text that does not read keeps
    // `field`.
    void wholeOrKeep(const QString& name, qint32& field, qint32 defaultValue) const;
    // The whole text as a number; a text that does not read gives 0.
    double decimal(const QString& name, double defaultValue) const;
    // A text that does not read keeps `field`.
    void date(const QString& name, QDateTime& field, const QDateTime& defaultValue) const;
    void flag(const QString& name, bool& field, bool defaultValue) const;

private:
    // The text of the first child element named `name`; nothing when there is none.
    std::optional<QString> find(const QString& name) const;

    const XMLManager& m_loader;
};
