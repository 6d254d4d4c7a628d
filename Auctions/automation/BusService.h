#pragma once

#include "BusGate.h"
#include "OrvBus.h"
#include "OrvError.h"

#include <QDBusContext>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <exception>
#include <type_traits>

class cApp;

// One of the program's model objects on the session bus. Calls wait at the gate until the program has
// loaded; a model error becomes an error reply with its number and description. The service only
// answers: it never calls a client, so no client can stall it.
class BusService : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    explicit BusService(BusGate& gate, QObject* parent = nullptr);

    // The application whose model the service shows, once it exists.
    virtual void attach(cApp& app);

    // The longest texts taken from a client (OrvBus): anything longer is refused before it reaches the
    // model.
    static constexpr qsizetype MaxItemLength = OrvBus::maxItemLength;
    static constexpr qsizetype MaxNameLength = OrvBus::maxNameLength;
    static constexpr qsizetype MaxTextLength = OrvBus::maxTextLength;

protected:
    // Holds the call being delivered at the gate, where `answer` runs on its turn and gives its result;
    // any error becomes the call's error reply, as none may leave a slot that the bus library calls.
    // Called directly (not over the bus), `answer` runs at once and errors are thrown on.
    template <typename Answer> auto serve(Answer answer) -> decltype(answer())
    {
        using Result = decltype(answer());
        const auto held = [answer]() -> QVariantList {
            if constexpr (std::is_void_v<Result>) {
                answer();
                return {};
            } else {
                return {QVariant::fromValue(answer())};
            }
        };
        if (m_gate.hold(*this, held))
            return Result();
        try {
            return answer();
        } catch (const std::exception& error) {
            if (!calledFromDBus())
                throw;
            refuse(error);
        }
        return Result();
    }
    // As serve, for an answer whose work is spread over turns of the event loop: `ready` does a bounded
    // piece of it and says whether `answer` can now be given at once.
    template <typename Ready, typename Answer>
    auto serveWhenReady(Ready ready, Answer answer) -> decltype(answer())
    {
        const auto held = [answer]() -> QVariantList { return {QVariant::fromValue(answer())}; };
        if (m_gate.hold(*this, held, ready))
            return decltype(answer())();
        // Not held (called directly, or by the program itself): the answer does all its work at once.
        return serve(answer);
    }
    // The application; error 91 while there is none.
    cApp& app() const;

    // Refuses (number 11) a text longer than `limit`; `what` names it in the sentence ("The item number").
    static void checkLength(const QString& text, qsizetype limit, const QString& what);
    static void checkItem(const QString& sItem);
    static void checkName(const QString& sName);
    // Runs `check` first: a call whose arguments it refuses is answered at once, and its arguments are not
    // kept while calls before it wait.
    template <typename Check, typename Answer>
    auto serveChecked(Check check, Answer answer) -> decltype(answer())
    {
        try {
            check();
        } catch (const std::exception& error) {
            if (!calledFromDBus())
                throw;
            refuse(error);
            return decltype(answer())();
        }
        return serve(answer);
    }

private:
    void refuse(const std::exception& error);

    BusGate& m_gate;
    QPointer<cApp> m_app;
};
