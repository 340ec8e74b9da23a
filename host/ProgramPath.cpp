#include "host/ProgramPath.h"

#include <unistd.h>

namespace qvt::host {

std::string programDirectory() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return ".";
  path.resize(static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/'));
}

std::string installedModuleDirectory(const std::string& programDirectory) {
  return programDirectory + "/" + DHCP_EVAL_MODULE_DIR_FROM_BIN;
}

std::string installedDictionaryDirectory(const std::string& programDirectory) {
  return programDirectory + "/" + DHCP_EVAL_DICTIONARY_DIR_FROM_BIN;
}

std::string dictionaryDirectoryBesideModule(const std::string& moduleDirectory) {
  return moduleDirectory + "/" + DHCP_EVAL_DICTIONARY_DIR_FROM_MODULE;
}

}  // namespace qvt::host
