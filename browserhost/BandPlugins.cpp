#include "BandPlugins.h"

#include "DeskBand.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QPluginLoader>
#include <QSet>

Q_LOGGING_CATEGORY(lcBandPlugins, "orv.browserhost.plugins")

QStringList BandPlugins::folders()
{
    QStringList found{QCoreApplication::applicationDirPath()};
#ifdef ORV_BAND_PLUGIN_DIR
    found.append(QStringLiteral(ORV_BAND_PLUGIN_DIR));
#endif
    return found;
}

QList<DeskBandFactory*> BandPlugins::load(const QStringList& folders)
{
    QList<DeskBandFactory*> factories;
    QSet<QString> seen;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        const QStringList files = dir.entryList({QStringLiteral("*.so")}, QDir::Files, QDir::Name);
        for (const QString& file : files) {
            if (seen.contains(file))
                continue;
            // A loader that is not unloaded keeps its plug-in loaded for the program's life.
            auto* loader = new QPluginLoader(dir.filePath(file), qApp);
            if (loader->metaData().value(QStringLiteral("IID")).toString() !=
                QLatin1String(DeskBandFactory_iid)) {
                delete loader;
                continue;
            }
            auto* factory = qobject_cast<DeskBandFactory*>(loader->instance());
            if (!factory) {
                qCWarning(lcBandPlugins)
                    << "cannot load the band" << loader->fileName() << loader->errorString();
                delete loader;
                continue;
            }
            seen.insert(file);
            factories.append(factory);
        }
    }
    return factories;
}
