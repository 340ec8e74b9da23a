#include "integrations/kea/HookMessages.h"

#include <log/message_initializer.h>

namespace qvt::kea {

const isc::log::MessageID kMsgLoaded = "DHCP_EVAL_LOADED";
const isc::log::MessageID kMsgLoadFailed = "DHCP_EVAL_LOAD_FAILED";
const isc::log::MessageID kMsgUnloaded = "DHCP_EVAL_UNLOADED";
const isc::log::MessageID kMsgClassFailed = "DHCP_EVAL_CLASS_FAILED";
const isc::log::MessageID kMsgOptionFailed = "DHCP_EVAL_OPTION_FAILED";
const isc::log::MessageID kMsgPacketFailed = "DHCP_EVAL_PACKET_FAILED";
const isc::log::MessageID kMsgClassified = "DHCP_EVAL_CLASSIFIED";
const isc::log::MessageID kMsgOptionSet = "DHCP_EVAL_OPTION_SET";
const isc::log::MessageID kMsgModuleError = "DHCP_EVAL_MODULE_ERROR";
const isc::log::MessageID kMsgModuleWarning = "DHCP_EVAL_MODULE_WARNING";
const isc::log::MessageID kMsgModuleInfo = "DHCP_EVAL_MODULE_INFO";
const isc::log::MessageID kMsgModuleDebug = "DHCP_EVAL_MODULE_DEBUG";
const isc::log::MessageID kMsgCalloutFailed = "DHCP_EVAL_CALLOUT_FAILED";

namespace {

const char* kTexts[] = {
    "DHCP_EVAL_LOADED",
    "dhcp_eval hook loaded: evaluator module %1, %2 classes, %3 option expressions",
    "DHCP_EVAL_LOAD_FAILED",
    "dhcp_eval hook refuses to load: %1",
    "DHCP_EVAL_UNLOADED",
    "dhcp_eval hook unloaded",
    "DHCP_EVAL_CLASS_FAILED",
    "class '%1' left out: expression '%2' failed: %3 (%4 more failures of this class in the last "
    "minute were not logged)",
    "DHCP_EVAL_OPTION_FAILED",
    "option %1 not set: expression '%2' failed: %3 (%4 more failures of this option in the last "
    "minute were not logged)",
    "DHCP_EVAL_PACKET_FAILED",
    "no classes from the dhcp_eval hook for a packet: %1 (%2 more such packets in the last minute "
    "were not logged)",
    "DHCP_EVAL_CLASSIFIED",
    "query %1 from %2: classes %3",
    "DHCP_EVAL_OPTION_SET",
    "response %1: option %2 set to %3",
    "DHCP_EVAL_MODULE_ERROR",
    "%1: %2",
    "DHCP_EVAL_MODULE_WARNING",
    "%1: %2",
    "DHCP_EVAL_MODULE_INFO",
    "%1: %2",
    "DHCP_EVAL_MODULE_DEBUG",
    "%1: %2",
    "DHCP_EVAL_CALLOUT_FAILED",
    "dhcp_eval hook callout %1 failed: %2 (%3 more failures in the last minute were not logged)",
    nullptr};

const isc::log::MessageInitializer kInitializer(kTexts);

}  // namespace

isc::log::Logger& hookLogger() {
  static isc::log::Logger logger("dhcp-eval");
  return logger;
}

}  // namespace qvt::kea
