#include "Settings.h"

#include "DialogHost.h"
#include "ResumeNext.h"
#include "TextForms.h"
#include "TimeSource.h"
#include "XMLManager.h"

#include <variant>
#include <vector>

namespace {

using Member = std::variant<bool Settings::*, qint32 Settings::*, QString Settings::*>;

struct Field
{
    const char* name;
    Member member;
    QString defaultText; // the stored form of the value that a missing element gives
};

QString flagDefault(bool value)
{
    return TextForms::flag(value);
}

QString wholeDefault(qint32 value)
{
    return TextForms::whole(value);
}

// The fields in the order they are stored, each with its default.
std::vector<Field> fields()
{
    return {
        {"AlwaysOnTop", &Settings::AlwaysOnTop, flagDefault(false)},
        {"HotBids", &Settings::HotBids, wholeDefault(10)},
        {"ColorActive", &Settings::ColorActive, wholeDefault(0)},
        {"ColorCaution", &Settings::ColorCaution, wholeDefault(128)},
        {"ColorComplete", &Settings::ColorComplete, wholeDefault(8421504)},
        {"ColorWarning", &Settings::ColorWarning, wholeDefault(255)},
        {"TimeLeftRefresh", &Settings::TimeLeftRefresh, wholeDefault(5)},
        {"DefaultSnipeTime", &Settings::DefaultSnipeTime, wholeDefault(20)},
        {"WindowTop", &Settings::WindowTop, wholeDefault(-1)},
        {"WindowLeft", &Settings::WindowLeft, wholeDefault(-1)},
        {"WindowWidth", &Settings::WindowWidth, wholeDefault(-1)},
        {"WindowHeight", &Settings::WindowHeight, wholeDefault(-1)},
        {"MaxAucUpdates", &Settings::MaxAucUpdates, wholeDefault(3)},
        {"LocalTimeZone", &Settings::LocalTimeZone, wholeDefault(Settings::defaultLocalTimeZone())},
        {"Username", &Settings::Username, QString()},
        {"Password", &Settings::Password, QString()},
        {"AutoSyncDays", &Settings::AutoSyncDays, wholeDefault(3)},
        {"CheckForUpdates", &Settings::CheckForUpdates, wholeDefault(7)},
        {"RedMinutes", &Settings::RedMinutes, wholeDefault(5)},
        {"CheckNetSeconds", &Settings::CheckNetSeconds, wholeDefault(10)},
        {"SyncClockRed", &Settings::SyncClockRed, flagDefault(true)},
        {"ConnectOnRed", &Settings::ConnectOnRed, flagDefault(false)},
        {"PhoneEntry", &Settings::PhoneEntry, QString()},
        {"PrepareSeconds", &Settings::PrepareSeconds, wholeDefault(90)},
        {"ConfirmBid", &Settings::ConfirmBid, flagDefault(true)},
        {"ConfirmDel", &Settings::ConfirmDel, flagDefault(true)},
        {"ConfirmMove", &Settings::ConfirmMove, flagDefault(true)},
        {"ViewedWelcome", &Settings::ViewedWelcome, flagDefault(false)},
        {"ViewedBidCreated", &Settings::ViewedBidCreated, flagDefault(false)},
        {"ViewedAuctionAdded", &Settings::ViewedAuctionAdded, flagDefault(false)},
        {"ViewedLookingAtAuction", &Settings::ViewedLookingAtAuction, flagDefault(false)},
        {"MinOnClose", &Settings::MinOnClose, flagDefault(true)},
        {"ForceIE", &Settings::ForceIE, flagDefault(false)},
        {"AuctionListBackColor", &Settings::AuctionListBackColor, wholeDefault(16777215)},
    };
}

template <class... Ts> struct Overloaded : Ts...
{
    using Ts::operator()...;
};
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

Settings::Settings(QObject* parent) : QObject(parent) {}

void Settings::Init(DialogHost& dialogs)
{
    m_dialogs = &dialogs;
}

qint32 Settings::defaultLocalTimeZone()
{
    return static_cast<qint32>(TextForms::roundHalfEven(-TimeSource::current().biasMinutes() / 60.0));
}

void Settings::raiseUpdated()
{
    Q_EMIT Updated();
}

void Settings::View()
{
    resumeNext([&] {
        if (m_dialogs)
            m_dialogs->viewSettings(*this);
    });
}

// A value whose text does not read leaves the field as it was.
void Settings::Load(XMLManager& loader)
{
    for (const Field& field : fields()) {
        resumeNext([&] {
            const QString text = loader.ReadProperty(QString::fromLatin1(field.name), field.defaultText);
            std::visit(Overloaded{[&](bool Settings::*member) {
                                      if (const std::optional<bool> value = TextForms::readFlag(text))
                                          this->*member = *value;
                                  },
                                  [&](qint32 Settings::*member) {
                                      if (const std::optional<qint32> value = TextForms::readLong(text))
                                          this->*member = *value;
                                  },
                                  [&](QString Settings::*member) { this->*member = text; }},
                       field.member);
        });
    }
}

void Settings::Save(XMLManager& loader)
{
    for (const Field& field : fields()) {
        const QString text =
            std::visit(Overloaded{[&](bool Settings::*member) { return TextForms::flag(this->*member); },
                                  [&](qint32 Settings::*member) { return TextForms::whole(this->*member); },
                                  [&](QString Settings::*member) { return this->*member; }},
                       field.member);
        loader.WriteProperty(QString::fromLatin1(field.name), text);
    }
}
