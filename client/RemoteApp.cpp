#include "RemoteApp.h"

#include "RemoteAuctions.h"
#include "RemoteBackend.h"
#include "RemoteBidManager.h"
#include "RemoteCategorys.h"
#include "RemoteClock.h"
#include "RemoteNetManager.h"
#include "RemoteSettings.h"
#include "RemoteUpdaters.h"

namespace Remote {

App::App(Backend& backend, QObject* parent)
    : QObject(parent), m_backend(backend), m_auctions(new Remote::Auctions(backend, this)),
      m_categorys(new Remote::Categorys(backend, this)), m_settings(new Remote::Settings(backend, this)),
      m_clock(new Remote::Clock(backend, this)), m_bidManager(new Remote::BidManager(backend, this)),
      m_updaters(new Remote::Updaters(backend, this)), m_netManager(new Remote::NetManager(this))
{
    connect(&backend, &Backend::bound, this, &App::takeSnapshot);
    connect(&backend, &Backend::received, this, &App::takeReport);
    connect(&backend, &Backend::auctionsFetched, this, &App::takeAuctions);
    connect(&backend, &Backend::auctionsFetchFailed, this, &App::takeDueCategorys);
    connect(&backend, &Backend::lost, this, &App::clear);
}

App::~App() = default;

void App::show()
{
    m_backend.call(QStringLiteral("App"), QStringLiteral("show"));
}

void App::ShowInfo(ViewInfoType eInfo)
{
    m_backend.call(QStringLiteral("App"), QStringLiteral("ShowInfo"), {qint32(eInfo)});
}

void App::Save()
{
    m_backend.call(QStringLiteral("App"), QStringLiteral("Save"));
}

QString App::DataFolder()
{
    return m_backend.call(QStringLiteral("App"), QStringLiteral("DataFolder")).toString();
}

void App::takeSnapshot(const Bus::SnapshotRecord& snapshot)
{
    m_state = AppState(snapshot.AppState);
    m_status = snapshot.AppStatus;
    m_settings->reset(snapshot.Settings);
    m_clock->reset(snapshot.Clock);
    m_bidManager->takeState(snapshot.BidManagerState);
    m_updaters->takeState(snapshot.UpdatersState);
    m_categorys->reset(snapshot.Categorys);
    m_auctions->reset(AuctionRecord::unpackList(snapshot.Auctions), snapshot.Serial);
}

void App::takeReport(const QString& object, const QString& name, const QVariantList& args)
{
    const auto text = [&args] { return args.value(0).toString(); };
    const auto number = [&args] { return args.value(0).toInt(); };
    if (object == QLatin1String("Auctions")) {
        if (name == QLatin1String("AuctionChanged"))
            m_auctions->take(args.value(0).toMap(), args.value(1).toULongLong());
        else if (name == QLatin1String("Updated"))
            m_backend.fetchAuctions();
    } else if (object == QLatin1String("Categorys")) {
        if (name == QLatin1String("Updated")) {
            // Any list answered after this report holds the auctions as the change left them.
            m_dueCategorys = args.value(0).toList();
            m_backend.fetchAuctions();
        }
    } else if (object == QLatin1String("Settings")) {
        if (name == QLatin1String("Updated"))
            m_settings->reset(args.value(0).toMap());
    } else if (object == QLatin1String("Clock")) {
        if (name == QLatin1String("Updated"))
            m_clock->reset(args.value(0).toMap());
        else if (name == QLatin1String("StatusChange"))
            m_clock->takeStatus(text());
        else if (name == QLatin1String("StateChanged"))
            m_clock->takeState(number());
    } else if (object == QLatin1String("BidManager")) {
        if (name == QLatin1String("StateChange"))
            m_bidManager->takeState(number());
        else if (name == QLatin1String("StatusChange"))
            m_bidManager->takeStatus(text());
    } else if (object == QLatin1String("Updaters")) {
        if (name == QLatin1String("UpdaterChanged"))
            m_updaters->takeUpdater(number(), args.value(1).toString());
        else if (name == QLatin1String("StateChanged"))
            m_updaters->takeState(number());
        else if (name == QLatin1String("StatusChange"))
            m_updaters->takeStatus(text());
    } else if (object == QLatin1String("NetManager")) {
        if (name == QLatin1String("StatusChange"))
            m_netManager->takeStatus(text());
    } else if (object == QLatin1String("App")) {
        if (name == QLatin1String("StateChange")) {
            m_state = AppState(number());
            Q_EMIT StateChange(number());
        } else if (name == QLatin1String("StatusChange")) {
            m_status = text();
            Q_EMIT StatusChange(text());
        } else if (name == QLatin1String("ErrorMessage")) {
            Q_EMIT ErrorMessage(text());
        }
    }
}

void App::takeAuctions(const QList<AuctionRecord>& records, qulonglong serial)
{
    m_auctions->reset(records, serial);
    takeDueCategorys();
}

void App::takeDueCategorys()
{
    if (!m_dueCategorys)
        return;
    const QVariantList categorys = *m_dueCategorys;
    m_dueCategorys.reset();
    m_categorys->reset(categorys);
}

void App::clear()
{
    m_dueCategorys.reset();
    m_state = AppNoState;
    m_status.clear();
    m_categorys->reset(QList<CategoryRecord>());
    m_auctions->clear();
}

} // namespace Remote
