#pragma once

#include <QList>
#include <QStringList>

class DeskBandFactory;
class QPluginLoader;

// The band plug-ins found beside the browser's executable and in the install's plug-in folder, loaded
// once and kept loaded while the program runs.
class BandPlugins
{
public:
    // The folders searched, in order: beside the executable, then the install's plug-in folder.
    static QStringList folders();
    // Loads every plug-in of `folders` that makes bands; one of the same file name is taken once.
    static QList<DeskBandFactory*> load(const QStringList& folders = BandPlugins::folders());
};
