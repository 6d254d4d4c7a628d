#include "mMain.h"

namespace {
cApp* theApp = nullptr;
}

namespace mMain {

cApp* App()
{
    return theApp;
}

void setApp(cApp* app)
{
    theApp = app;
}

} // namespace mMain
