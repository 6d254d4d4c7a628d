#pragma once

#include <QList>
#include <QStringList>
#include <functional>

class DeskBandFactory;
class QPluginLoader;

// The band plug-ins found beside the browser's executable and in the install's plug-in folder, loaded
// once and kept loaded while the program runs.
class BandPlugins
{
public:
    // The folders searched, in order: beside the executable, the plug-in folder of the prefix the build
    // was configured for, and the same folder under the executable's own prefix.
    static QStringList folders();
    // Told why a plug-in of bands could not be loaded.
    using Failure = std::function<void(const QString& description)>;

    // Loads every plug-in of `folders` that makes bands; one of the same file name is taken once. A
    // plug-in of bands that does not load is left out, and `failed` is told why.
    static QList<DeskBandFactory*> load(const QStringList& folders = BandPlugins::folders(),
                                        const Failure& failed = {});
};
