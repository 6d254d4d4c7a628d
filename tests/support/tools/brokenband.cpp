// A band plug-in that names a value no library defines: its file reads as a plug-in of bands, but
// loading it fails, as it does for a plug-in built against another version of a library.

#include "DeskBand.h"

#include <QObject>

extern "C" int orvValueNoLibraryDefines;

class BrokenBandFactory : public QObject, public DeskBandFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID DeskBandFactory_iid)
    Q_INTERFACES(DeskBandFactory)
public:
    BrokenBandFactory() { setProperty("value", orvValueNoLibraryDefines); }
    std::unique_ptr<DeskBand> createBand() override { return nullptr; }
};

#include "brokenband.moc"
