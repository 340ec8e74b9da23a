#include "tools/dhcp-eval/CToolHost.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "class_a/standard/CException.h"
#include "class_a/standard/CMessage.h"
#include "class_a/standard/Fail.h"
#include "class_a/standard/Severity.h"

namespace qvt::tool {

namespace {

const char* const kModule = "dhcp-eval";

struct CFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::vector<std::uint8_t> randomKey() {
  std::vector<std::uint8_t> key(CToolHost::kDefaultKeySize);
  std::size_t filled = 0;
  while (filled < key.size()) {
    const ssize_t got = getrandom(key.data() + filled, key.size() - filled, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      failSystem(CRaiser::none(), kModule, "CToolHost::defaultSharedServerKey",
                 "Cannot build the default shared server key.");
    }
    filled += static_cast<std::size_t>(got);
  }
  return key;
}

}  // namespace

CToolHost::CToolHost(std::ostream& logStream) : logStream_(logStream) {}

void CToolHost::loadKeyFile(const std::string& path) {
  const char* const operation = "CToolHost::loadKeyFile";
  const CMessage description("Cannot read shared server key file '%1'.", path);
  std::unique_ptr<std::FILE, CFileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) failSystem(CRaiser::of(*this), kModule, operation, description);
  // One byte more than allowed tells an oversized file apart.
  std::vector<std::uint8_t> key(kMaxKeyFileSize + 1);
  const std::size_t size = std::fread(key.data(), 1, key.size(), file.get());
  if (std::ferror(file.get())) failSystem(CRaiser::of(*this), kModule, operation, description);
  if (size == 0) fail(CRaiser::of(*this), kModule, operation, description, "The file is empty.");
  if (size > kMaxKeyFileSize) {
    fail(CRaiser::of(*this), kModule, operation, description,
         {"The file is larger than %1 bytes.", kMaxKeyFileSize});
  }
  key.resize(size);
  key_ = std::move(key);
}

std::vector<std::uint8_t> CToolHost::sharedServerKey() {
  if (!key_.empty()) return key_;
  if (!warned_) {
    warned_ = true;
    log(CMessage("The config file does not define a shared server key ('%1'). A default value "
                 "will be used.",
                 "--key")
            .text(),
        kModule, kSeverityWarning);
  }
  return defaultSharedServerKey();
}

void CToolHost::log(const std::string& message, const std::string& module, std::uint32_t level) {
  std::string word = CException::severityMaskText(level);
  if (word.empty()) word = "level " + std::to_string(level);
  logStream_ << word << ": " << module << ": " << message << std::endl;
}

const std::vector<std::uint8_t>& CToolHost::defaultSharedServerKey() {
  static const std::vector<std::uint8_t> key = randomKey();
  return key;
}

}  // namespace qvt::tool
