#include "host/CHostController.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "class_a/standard/CException.h"
#include "class_a/standard/CMessage.h"
#include "class_a/standard/Fail.h"
#include "class_a/standard/Severity.h"

namespace qvt::host {

namespace {

const char* const kKeyOperation = "CHostController::sharedServerKey";
constexpr std::size_t kDefaultKeySize = 56;  // the longest key Blowfish uses

struct CFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::vector<std::uint8_t> readKeyFile(const std::string& path) {
  const CMessage description("Cannot read shared server key file '%1'.", path);
  std::unique_ptr<std::FILE, CFileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) failSystem(CRaiser::none(), "host", kKeyOperation, description);
  // One byte more than allowed tells an oversized file apart.
  std::vector<std::uint8_t> key(CHostController::kMaxKeyFileSize + 1);
  const std::size_t size = std::fread(key.data(), 1, key.size(), file.get());
  if (std::ferror(file.get())) failSystem(CRaiser::none(), "host", kKeyOperation, description);
  if (size == 0) fail(CRaiser::none(), "host", kKeyOperation, description, "The file is empty.");
  if (size > CHostController::kMaxKeyFileSize) {
    fail(CRaiser::none(), "host", kKeyOperation, description,
         {"The file is larger than %1 bytes.", CHostController::kMaxKeyFileSize});
  }
  key.resize(size);
  return key;
}

std::vector<std::uint8_t> randomKey() {
  std::vector<std::uint8_t> key(kDefaultKeySize);
  std::size_t filled = 0;
  while (filled < key.size()) {
    const ssize_t got = getrandom(key.data() + filled, key.size() - filled, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      failSystem(CRaiser::none(), "host", kKeyOperation,
                 "Cannot build the default shared server key.");
    }
    filled += static_cast<std::size_t>(got);
  }
  return key;
}

}  // namespace

CHostController::CHostController(const CHostConfig& config, std::ostream& logStream)
    : logStream_(logStream), logLevels_(config.logLevels()) {
  if (!config.sharedServerKeyFile().empty()) {
    sharedServerKey_ = readKeyFile(config.sharedServerKeyFile());
    return;
  }
  log(CMessage("The config file does not define a shared server key ('%1'). A default value "
               "will be used.",
               CHostConfig::kSharedServerKeyFileKey)
          .text(),
      "host", kSeverityWarning);
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
  static const std::vector<std::uint8_t> key = randomKey();
  return key;
}

}  // namespace qvt::host
