#pragma once

#include "RemoteBackend.h"

#include <QDBusConnection>
#include <QString>
#include <memory>

namespace Remote {

// The backend on the session bus: binding activates the main program's service (which starts it hidden)
// and fetches the first snapshot in one call; the program's signals are handed on; its name leaving the
// bus ends the binding.
class BusBackend : public Backend
{
    Q_OBJECT
public:
    explicit BusBackend(QObject* parent = nullptr);
    // `service` on `bus`.
    BusBackend(const QDBusConnection& bus, const QString& service, QObject* parent = nullptr);
    ~BusBackend() override;

    void bind() override;
    QVariant call(const QString& object, const QString& method, const QVariantList& args = {}) override;
    void fetchAuctions() override;
    void setHold(bool held) override;
    bool isHeld() const override;

    // How long a command waits for its answer.
    static constexpr int CallTimeoutMs = 10000;

private:
    // Asks the program to stay open for this client, and follows its answer.
    void takeHold();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace Remote
