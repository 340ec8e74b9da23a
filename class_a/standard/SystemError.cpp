#include "class_a/standard/SystemError.h"

#include <cerrno>
#include <cstring>

namespace qvt {
namespace {

// strerror_r comes in two flavours; these overloads pick the result of either.
[[maybe_unused]] const char* pickText(int result, const char* buffer) {
  return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* pickText(const char* result, const char*) { return result; }

}  // namespace

std::string systemErrorText(std::uint32_t code) {
  if (code == 0) return std::string();
  char buffer[512] = {0};
  const int saved = errno;
  const char* text = pickText(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
  errno = saved;
  std::string result = text ? text : "";
  // glibc answers unknown codes with "Unknown error N": that is no text.
  if (result.empty() || result.rfind("Unknown error", 0) == 0) {
    return "Unknown error code " + std::to_string(code);
  }
  while (!result.empty() && result.back() == '\n') result.pop_back();
  while (!result.empty() && result.back() == '\r') result.pop_back();
  return result;
}

std::uint32_t lastSystemError() { return static_cast<std::uint32_t>(errno); }

}  // namespace qvt
