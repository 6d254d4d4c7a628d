#pragma once

class cApp;

// The process-wide reference to the application object: empty until the first-instance start fills
// it, never cleared.
namespace mMain {

cApp* App();
void setApp(cApp* app);

} // namespace mMain
