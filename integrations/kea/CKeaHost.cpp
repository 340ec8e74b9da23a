#include "integrations/kea/CKeaHost.h"

#include <utility>

#include "class_a/standard/Severity.h"
#include "integrations/kea/HookMessages.h"

namespace qvt::kea {

CKeaHost::CKeaHost(std::vector<std::uint8_t> key) : key_(std::move(key)) {}

CKeaHost::~CKeaHost() = default;

CKeaLevel CKeaHost::keaLevelOf(std::uint32_t level) {
  if (level & kSeverityError) return CKeaLevel::kError;
  if (level & kSeverityWarning) return CKeaLevel::kWarning;
  if (level & (kSeverityInfo | kSeverityAudit)) return CKeaLevel::kInfo;
  if (level & (kSeverityDebug | kSeverityVerbose)) return CKeaLevel::kDebug;
  return CKeaLevel::kInfo;
}

void CKeaHost::log(const std::string& message, const std::string& module, std::uint32_t level) {
  isc::log::Logger& logger = hookLogger();
  switch (keaLevelOf(level)) {
    case CKeaLevel::kError:
      if (logger.isErrorEnabled()) logger.error(kMsgModuleError).arg(module).arg(message);
      break;
    case CKeaLevel::kWarning:
      if (logger.isWarnEnabled()) logger.warn(kMsgModuleWarning).arg(module).arg(message);
      break;
    case CKeaLevel::kInfo:
      if (logger.isInfoEnabled()) logger.info(kMsgModuleInfo).arg(module).arg(message);
      break;
    case CKeaLevel::kDebug:
      if (logger.isDebugEnabled(kDebugDetail)) {
        logger.debug(kDebugDetail, kMsgModuleDebug).arg(module).arg(message);
      }
      break;
  }
}

}  // namespace qvt::kea
