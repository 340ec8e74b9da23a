#include "host/CHostController.h"

#include "class_a/standard/CException.h"
#include "class_a/standard/Severity.h"
#include "host/SharedServerKey.h"

namespace qvt::host {

namespace {

const CKeyErrors& keyErrors() {
  static const CKeyErrors errors{CRaiser::none(), "host", "CHostController::sharedServerKey"};
  return errors;
}

}  // namespace

CHostController::CHostController(const CHostConfig& config, std::ostream& logStream)
    : logStream_(logStream), logLevels_(config.logLevels()) {
  if (!config.sharedServerKeyFile().empty()) {
    sharedServerKey_ = readKeyFile(config.sharedServerKeyFile(), keyErrors());
    return;
  }
  log(defaultKeyWarning(CHostConfig::kSharedServerKeyFileKey), "host", kSeverityWarning);
  sharedServerKey_ = defaultSharedServerKey();
}

CHostController::~CHostController() = default;

void CHostController::log(const std::string& message, const std::string& module,
                          std::uint32_t level) {
  if ((level & logLevels_) == 0) return;
  std::string word = CException::severityMaskText(level);
  if (word.empty()) word = "level " + std::to_string(level);
  logStream_ << word << ": " << module << ": " << message << std::endl;
}

const std::vector<std::uint8_t>& CHostController::defaultSharedServerKey() {
  static const std::vector<std::uint8_t> key = randomKey(keyErrors());
  return key;
}

}  // namespace qvt::host
