#include "Settings.h"

#include "DialogHost.h"
#include "ModelLog.h"
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

// The fields in the order they are stored, each with its default.
std::vector<Field> fields()
{
    return {
        {"AlwaysOnTop", &Settings::AlwaysOnTop, TextForms::flag(false)},
        {"HotBids", &Settings::HotBids, TextForms::whole(10)},
        {"ColorActive", &Settings::ColorActive, TextForms::whole(0)},
        {"ColorCaution", &Settings::ColorCaution, TextForms::whole(128)},
        {"ColorComplete", &Settings::ColorComplete, TextForms::whole(8421504)},
        {"ColorWarning", &Settings::ColorWarning, TextForms::whole(255)},
        {"TimeLeftRefresh", &Settings::TimeLeftRefresh, TextForms::whole(5)},
        {"DefaultSnipeTime", &Settings::DefaultSnipeTime, TextForms::whole(20)},
        {"WindowTop", &Settings::WindowTop, TextForms::whole(-1)},
        {"WindowLeft", &Settings::WindowLeft, TextForms::whole(-1)},
        {"WindowWidth", &Settings::WindowWidth, TextForms::whole(-1)},
        {"WindowHeight", &Settings::WindowHeight, TextForms::whole(-1)},
        {"MaxAucUpdates", &Settings::MaxAucUpdates, TextForms::whole(3)},
        {"LocalTimeZone", &Settings::LocalTimeZone, TextForms::whole(Settings::defaultLocalTimeZone())},
        {"Username", &Settings::Username, QString()},
        {"Password", &Settings::Password, QString()},
        {"AutoSyncDays", &Settings::AutoSyncDays, TextForms::whole(3)},
        {"CheckForUpdates", &Settings::CheckForUpdates, TextForms::whole(7)},
        {"RedMinutes", &Settings::RedMinutes, TextForms::whole(5)},
        {"CheckNetSeconds", &Settings::CheckNetSeconds, TextForms::whole(10)},
        {"SyncClockRed", &Settings::SyncClockRed, TextForms::flag(true)},
        {"ConnectOnRed", &Settings::ConnectOnRed, TextForms::flag(false)},
        {"PhoneEntry", &Settings::PhoneEntry, QString()},
        {"PrepareSeconds", &Settings::PrepareSeconds, TextForms::whole(90)},
        {"ConfirmBid", &Settings::ConfirmBid, TextForms::flag(true)},
        {"ConfirmDel", &Settings::ConfirmDel, TextForms::flag(true)},
        {"ConfirmMove", &Settings::ConfirmMove, TextForms::flag(true)},
        {"ViewedWelcome", &Settings::ViewedWelcome, TextForms::flag(false)},
        {"ViewedBidCreated", &Settings::ViewedBidCreated, TextForms::flag(false)},
        {"ViewedAuctionAdded", &Settings::ViewedAuctionAdded, TextForms::flag(false)},
        {"ViewedLookingAtAuction", &Settings::ViewedLookingAtAuction, TextForms::flag(false)},
        {"MinOnClose", &Settings::MinOnClose, TextForms::flag(true)},
        {"ForceIE", &Settings::ForceIE, TextForms::flag(false)},
        {"AuctionListBackColor", &Settings::AuctionListBackColor, TextForms::whole(16777215)},
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
    if (m_dialogs)
        m_dialogs->viewSettings(*this);
}

// A value whose text does not read leaves the field as it was.
void Settings::Load(XMLManager& loader)
{
    for (const Field& field : fields()) {
        resumeNext(lcModel, [&] {
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
