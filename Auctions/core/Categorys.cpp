#include "Categorys.h"

#include "Auctions.h"
#include "CategorysEvents.h"
#include "DialogHost.h"
#include "ModelLog.h"
#include "OrvError.h"
#include "ResumeNext.h"
#include "XMLManager.h"

namespace {

const QString addSource = QStringLiteral("Category Add");
const QString source = QStringLiteral("Categorys");
const QString defaultName = QStringLiteral("Default");

} // namespace

Categorys::Categorys(QObject* parent) : QObject(parent), mEvents(new CategorysEvents(this))
{
    connect(mEvents, &CategorysEvents::Updated, this, &Categorys::Updated);
}

Categorys::~Categorys() = default;

void Categorys::link(::Auctions& auctions, DialogHost& dialogs)
{
    m_auctions = &auctions;
    m_dialogs = &dialogs;
}

CategoryPtr Categorys::Add(const QString& sName, bool bLimited, qint32 lMaxWins)
{
    const QString name = sName.trimmed();
    if (name.isEmpty())
        throw OrvError::refused(addSource, QStringLiteral("A category must have a name."));
    if (name.endsWith(QLatin1Char('~')))
        throw OrvError::refused(addSource, QStringLiteral("Categories may not end with the ~ character."));
    if (m_items.contains(name))
        throw OrvError::refused(addSource, QStringLiteral("A category named ") + name +
                                               QStringLiteral(" already exists."));

    auto category = CategoryPtr::create();
    category->Events = mEvents;
    category->Name = name;
    category->Limited = bLimited;
    category->MaxWins = lMaxWins;
    m_items.append(name, category);
    if (!Paused)
        Q_EMIT Updated();
    return category;
}

void Categorys::raiseUpdated()
{
    if (!Paused)
        Q_EMIT Updated();
}

void Categorys::ViewAdd()
{
    Q_ASSERT_X(m_dialogs && m_auctions, "Categorys::ViewAdd", "link() was not called");
    resumeNext(lcModel, [&] { m_dialogs->viewCategory(*this, *m_auctions, CategoryPtr()); });
}

void Categorys::ViewEdit(const CategoryPtr& category)
{
    Q_ASSERT_X(m_dialogs && m_auctions, "Categorys::ViewEdit", "link() was not called");
    resumeNext(lcModel, [&] { m_dialogs->viewCategory(*this, *m_auctions, category); });
}

void Categorys::ViewRemove(const CategoryPtr& category)
{
    if (!category)
        return;
    Q_ASSERT_X(m_dialogs && m_auctions, "Categorys::ViewRemove", "link() was not called");
    bool used = false;
    resumeNext(lcModel, [&] {
        for (const AuctionPtr& auction : m_auctions->Items()) {
            if (category->Contains(*auction)) {
                used = true;
                break;
            }
        }
    });
    if (used) {
        resumeNext(lcModel, [&] { m_dialogs->viewCategoryDelete(*m_auctions, *this, category); });
        return;
    }
    // The refusal to remove the last category reaches the caller, which shows it.
    Remove(category->Name);
}

CategoryPtr Categorys::Item(const QString& sName) const
{
    const CategoryPtr category = m_items.value(sName);
    if (!category)
        throw OrvError(OrvError::InvalidArgument, source,
                       QStringLiteral("There is no category named ") + sName + QStringLiteral("."));
    return category;
}

void Categorys::Remove(const QString& sName)
{
    if (m_items.count() < 2)
        throw OrvError::refused(source, QStringLiteral("You must have at least one Category."));
    const CategoryPtr category = Item(sName);
    category->Events = nullptr;
    m_items.take(sName);
    if (!Paused)
        Q_EMIT Updated();
}

void Categorys::Clear()
{
    m_items.clear();
    Q_EMIT Updated();
}

void Categorys::Load(XMLManager& loader)
{
    // A category without a name has no key; a second one of the same name is dropped.
    KeyedCollection<Category> loaded;
    loaded.load(
        loader, QStringLiteral("Category"),
        [this] {
            auto category = CategoryPtr::create();
            category->Events = mEvents;
            return category;
        },
        [](const Category& category) { return category.Name; });
    m_items = loaded;
    if (m_items.isEmpty())
        resumeNext(lcModel, [&] { Add(defaultName, false, 1); });
    resumeNext(lcModel, [&] { Current = loader.ReadProperty(QStringLiteral("Current"), defaultName); });
    Q_EMIT Updated();
}

void Categorys::Save(XMLManager& loader)
{
    m_items.save(loader, QStringLiteral("Category"));
    resumeNext(lcModel, [&] { loader.WriteProperty(QStringLiteral("Current"), Current); });
}
