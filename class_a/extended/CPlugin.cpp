#include "class_a/extended/CPlugin.h"

namespace qvt {

CPlugin::~CPlugin() = default;

std::uint8_t CPlugin::runOrder() const {
  return 0;
}

std::int32_t CPlugin::run() {
  return 0;
}

void CPlugin::stop() {}

std::string CPlugin::name() const {
  return "<unnamed>";
}

std::string CPlugin::types() const {
  return "CPlugin";
}

std::string CPlugin::dependencies() const {
  return std::string();
}

bool CPlugin::isA(const std::string& typeName) const {
  const std::string list = types();
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    const std::size_t end = comma == std::string::npos ? list.size() : comma;
    std::size_t first = start;
    std::size_t last = end;
    while (first < last && list[first] == ' ')
      ++first;
    while (last > first && list[last - 1] == ' ')
      --last;
    if (list.compare(first, last - first, typeName) == 0) return true;
    if (comma == std::string::npos) return false;
    start = comma + 1;
  }
}

void CPlugin::setHost(CIHostContext* host) {
  host_ = host;
}

CIHostContext* CPlugin::host() const {
  return host_;
}

void CPlugin::setModuleHandle(void* handle) {
  moduleHandle_ = handle;
}

void* CPlugin::moduleHandle() const {
  return moduleHandle_;
}

}  // namespace qvt
