#pragma once

#include "IPlugin.h"

#include <QList>
#include <QObject>
#include <memory>

// Components keyed by their Key at the moment they were added (any case), kept in the order added.
class Plugins : public QObject
{
    Q_OBJECT

public:
    static constexpr qint32 ErrDuplicateKey = 457;

    explicit Plugins(QObject* parent = nullptr);

    // Throws OrvError InvalidArgument for an unknown key.
    std::shared_ptr<IPlugin> Item(const QString& sKey) const;
    const QList<std::shared_ptr<IPlugin>>& Items() const { return m_items; }
    // Throws OrvError InvalidArgument for an unknown key.
    void Remove(const QString& sKey);
    // Throws OrvError ErrDuplicateKey when the key is present in any case.
    void Add(std::shared_ptr<IPlugin> Plugin);
    qint32 Count() const { return qint32(m_items.size()); }
    // Begin on every component in the order added; an error stops the walk and reaches the caller.
    void Start(const QString& sCallingFile);
    // ShutDown on every component in the order added; an error stops the walk and reaches the caller.
    void Terminate();

Q_SIGNALS:
    void Updated();

private:
    qsizetype indexOf(const QString& key) const;

    QList<std::shared_ptr<IPlugin>> m_items;
    QStringList m_keys;
};
