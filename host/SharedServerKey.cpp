#include "host/SharedServerKey.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "class_a/standard/CMessage.h"

namespace qvt::host {

namespace {

struct CFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::vector<std::uint8_t> readKeyFile(const std::string& path, const CKeyErrors& errors) {
  const CMessage description("Cannot read shared server key file '%1'.", path);
  std::unique_ptr<std::FILE, CFileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) failSystem(errors.raiser, errors.module, errors.operation, description);
  // One byte more than allowed tells an oversized file apart.
  std::vector<std::uint8_t> key(kMaxKeyFileSize + 1);
  const std::size_t size = std::fread(key.data(), 1, key.size(), file.get());
  if (std::ferror(file.get())) {
    failSystem(errors.raiser, errors.module, errors.operation, description);
  }
  if (size == 0) {
    fail(errors.raiser, errors.module, errors.operation, description, "The file is empty.");
  }
  if (size > kMaxKeyFileSize) {
    fail(errors.raiser, errors.module, errors.operation, description,
         {"The file is larger than %1 bytes.", kMaxKeyFileSize});
  }
  key.resize(size);
  return key;
}

std::vector<std::uint8_t> randomKey(const CKeyErrors& errors) {
  std::vector<std::uint8_t> key(kDefaultKeySize);
  std::size_t filled = 0;
  while (filled < key.size()) {
    const ssize_t got = getrandom(key.data() + filled, key.size() - filled, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      failSystem(errors.raiser, errors.module, errors.operation,
                 "Cannot build the default shared server key.");
    }
    filled += static_cast<std::size_t>(got);
  }
  return key;
}

std::string defaultKeyWarning(const std::string& setting) {
  return CMessage(
             "The config file does not define a shared server key ('%1'). A default value will "
             "be used.",
             setting)
      .text();
}

}  // namespace qvt::host
