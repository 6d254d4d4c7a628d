#include "VerManager.h"

#include "DateTimes.h"
#include "PropertyReader.h"
#include "TextForms.h"
#include "TimeSource.h"
#include "XMLManager.h"

VerManager::VerManager(QObject* parent) : QObject(parent), m_lastCheck(DateTimes::zero()) {}

void VerManager::Check() {}

void VerManager::Load(XMLManager& loader)
{
    const PropertyReader read(loader);
    Major = read.whole(QStringLiteral("Major"), 0);
    Minor = read.whole(QStringLiteral("Minor"), 0);
    Revision = read.whole(QStringLiteral("Revision"), 0);
    read.date(QStringLiteral("LastCheck"), m_lastCheck, TimeSource::current().localNow());
}

void VerManager::Save(XMLManager& loader)
{
    loader.WriteProperty(QStringLiteral("Major"), TextForms::whole(Major));
    loader.WriteProperty(QStringLiteral("Minor"), TextForms::whole(Minor));
    loader.WriteProperty(QStringLiteral("Revision"), TextForms::whole(Revision));
    loader.WriteProperty(QStringLiteral("LastCheck"), TextForms::date(m_lastCheck));
}
