// HookMessages: the Kea hook's log messages, in Kea's own logging system.
//
// The logger is "dhcp-eval", a child of the server's root logger, so Kea's
// "loggers" configuration names it "kea-dhcp4.dhcp-eval" (or
// "kea-dhcp6.dhcp-eval"). Each message has an id and a text with %1...
// placeholders; the texts are added to Kea's message dictionary when Kea
// loads the library:
//
//   hookLogger().error(kMsgClassFailed).arg(name).arg(expression).arg(text).arg(0);
#pragma once

#include <log/logger.h>
#include <log/message_types.h>

namespace qvt::kea {

// hookLogger: the logger of every message of the hook.
isc::log::Logger& hookLogger();

// kDebugDetail: the debug level of the hook's detail messages (a packet's
// classes, the evaluator module's debug messages).
constexpr int kDebugDetail = 40;

// Message ids (their texts are in HookMessages.cpp).
extern const isc::log::MessageID kMsgLoaded;        // info
extern const isc::log::MessageID kMsgLoadFailed;    // error
extern const isc::log::MessageID kMsgUnloaded;      // info
extern const isc::log::MessageID kMsgClassFailed;   // warn, throttled
extern const isc::log::MessageID kMsgOptionFailed;  // warn, throttled
extern const isc::log::MessageID kMsgPacketFailed;  // warn, throttled
extern const isc::log::MessageID kMsgClassified;    // debug
extern const isc::log::MessageID kMsgOptionSet;     // debug
extern const isc::log::MessageID kMsgModuleError;   // the evaluator module's messages
extern const isc::log::MessageID kMsgModuleWarning;
extern const isc::log::MessageID kMsgModuleInfo;
extern const isc::log::MessageID kMsgModuleDebug;
extern const isc::log::MessageID kMsgCalloutFailed;  // error, throttled

}  // namespace qvt::kea
