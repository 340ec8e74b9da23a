#include "tools/dhcp-eval/CToolHost.h"

#include "class_a/standard/CException.h"
#include "class_a/standard/Severity.h"
#include "host/SharedServerKey.h"

namespace qvt::tool {

namespace {

const char* const kModule = "dhcp-eval";

}  // namespace

CToolHost::CToolHost(std::ostream& logStream) : logStream_(logStream) {}

void CToolHost::loadKeyFile(const std::string& path) {
  key_ = host::readKeyFile(path, {CRaiser::of(*this), kModule, "CToolHost::loadKeyFile"});
}

std::vector<std::uint8_t> CToolHost::sharedServerKey() {
  if (!key_.empty()) return key_;
  if (!warned_) {
    warned_ = true;
    log(host::defaultKeyWarning("--key"), kModule, kSeverityWarning);
  }
  return defaultSharedServerKey();
}

void CToolHost::log(const std::string& message, const std::string& module, std::uint32_t level) {
  if (level != 0 && (level & ~(kSeverityDebug | kSeverityVerbose)) == 0) return;
  std::string word = CException::severityMaskText(level);
  if (word.empty()) word = "level " + std::to_string(level);
  logStream_ << word << ": " << module << ": " << message << std::endl;
}

const std::vector<std::uint8_t>& CToolHost::defaultSharedServerKey() {
  static const std::vector<std::uint8_t> key =
      host::randomKey({CRaiser::none(), kModule, "CToolHost::defaultSharedServerKey"});
  return key;
}

}  // namespace qvt::tool
