#include "BandPlugin.h"

#include "cBand.h"

std::unique_ptr<DeskBand> BandPlugin::createBand()
{
    return std::make_unique<cBand>();
}
