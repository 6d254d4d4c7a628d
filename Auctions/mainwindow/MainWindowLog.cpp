#include "MainWindowLog.h"

Q_LOGGING_CATEGORY(lcMainWindow, "orv.mainwindow")
