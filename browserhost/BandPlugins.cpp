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
    const QString beside = QCoreApplication::applicationDirPath();
    QStringList found{beside};
#ifdef ORV_BAND_PLUGIN_DIR
    found.append(QStringLiteral(ORV_BAND_PLUGIN_DIR));
#endif
#ifdef ORV_BAND_PLUGIN_RELATIVE_DIR
    // An install under another prefix than the one configured keeps the bands at the same place beside
    // the program's own folder.
    const QString relative =
        QDir::cleanPath(beside + QStringLiteral("/../") + QStringLiteral(ORV_BAND_PLUGIN_RELATIVE_DIR));
    if (!found.contains(relative))
        found.append(relative);
#endif
    return found;
}

QList<DeskBandFactory*> BandPlugins::load(const QStringList& folders, const Failure& failed)
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
            QObject* instance = loader->instance();
            auto* factory = qobject_cast<DeskBandFactory*>(instance);
            if (!factory) {
                const QString why = instance ? QStringLiteral("it makes no bands.") : loader->errorString();
                qCWarning(lcBandPlugins) << "cannot load the band" << loader->fileName() << why;
                if (failed)
                    failed(QStringLiteral("The band \"%1\" cannot be loaded: %2")
                               .arg(QDir::toNativeSeparators(loader->fileName()), why));
                delete loader;
                continue;
            }
            seen.insert(file);
            factories.append(factory);
        }
    }
    return factories;
}
