#pragma once

#include <QLoggingCategory>

// The engine's logs, one per concern, so that each can be switched on alone (QT_LOGGING_RULES).
// Item pages: downloading and reading them.
Q_DECLARE_LOGGING_CATEGORY(lcPage)
// Bids: the bid manager, its senders and the hidden browser window.
Q_DECLARE_LOGGING_CATEGORY(lcBid)
// The network: downloads, clock synchronisation, connection watch and the version check.
Q_DECLARE_LOGGING_CATEGORY(lcNet)
