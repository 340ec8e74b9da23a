#include "class_b/dhcp/dhcp_base/CNumericPath.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

constexpr std::uint32_t kMaxDepth32 = 100;

bool isBlank(char c) {
  return c == ' ' || c == '\n' || c == '\t';
}

// strtoul with base 0 as a 32-bit unsigned long reads it: out-of-range
// magnitudes saturate to 0xffffffff instead of wrapping, and a leading "-"
// negates modulo 2^32.
std::uint32_t readUnsigned32(const std::string& token) {
  errno = 0;
  const unsigned long long raw = std::strtoull(token.c_str(), nullptr, 0);
  if (errno == ERANGE) return 0xffffffffu;
  const char* p = token.c_str();
  while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
    ++p;
  if (*p == '-') {
    const unsigned long long magnitude = 0ull - raw;
    if (magnitude > 0xffffffffull) return 0xffffffffu;
    return 0u - static_cast<std::uint32_t>(magnitude);
  }
  return raw > 0xffffffffull ? 0xffffffffu : static_cast<std::uint32_t>(raw);
}

}  // namespace

template <class T>
CNumericPath<T>::CNumericPath(T value) : depth_(1) {
  elements_[0] = value;
}

template <class T>
CNumericPath<T>::CNumericPath(const T* values, std::uint64_t depth, const char* module) {
  if (depth > kMaxDepth) {
    fail(CRaiser::of(*this), module, "CNumericPath::CNumericPath", "Cannot create numeric path.",
         {"Depth %1 is larger than the maximum allowed depth of %2.", depth, kMaxDepth32});
  }
  std::copy(values, values + depth, elements_.begin());
  depth_ = depth;
}

template <class T>
CNumericPath<T>::CNumericPath(const std::string& text, char separator, const char* module)
    : separator_(separator) {
  assign(text, module);
}

template <class T>
void CNumericPath<T>::push_back(T value, const char* module) {
  if (depth_ + 1 > kMaxDepth) {
    fail(CRaiser::of(*this), module, "CNumericPath::push_back", "Cannot append to numeric path.",
         {"Depth %1 is larger than the maximum allowed depth of %2.", depth_ + 1, kMaxDepth32});
  }
  elements_[depth_++] = value;
}

template <class T>
void CNumericPath<T>::append(const CNumericPath& other, const char* module) {
  const std::uint64_t added = other.depth_;  // other may be *this
  if (depth_ + added > kMaxDepth) {
    fail(CRaiser::of(*this), module,
         "CNumericPath::operator+=", "Cannot concatenate two numeric paths.",
         {"Maximum path depth of %1 exceeded.", kMaxDepth32});
  }
  std::copy(other.elements_.begin(), other.elements_.begin() + added, elements_.begin() + depth_);
  depth_ += added;
}

template <class T>
CNumericPath<T>& CNumericPath<T>::operator+=(const CNumericPath& other) {
  append(other, kDefaultModule);
  return *this;
}

template <class T>
void CNumericPath<T>::assign(const std::string& text, const char* module) {
  clear();
  const char* pos = text.data();
  const char* const last = pos + text.size();
  while (pos < last) {
    bool quoted = false;
    const char* end = pos;
    for (; end < last; ++end) {
      if (!quoted && *end == separator_) break;
      if (*end == '\'') quoted = !quoted;
    }
    _appendToken(pos, end, module);
    pos = end + 1;
  }
}

template <class T>
void CNumericPath<T>::_appendToken(const char* begin, const char* end, const char* module) {
  while (begin < end && isBlank(*begin))
    ++begin;
  while (end > begin && isBlank(end[-1]))
    --end;
  while (begin < end && *begin == '"')
    ++begin;
  while (end > begin && end[-1] == '"')
    --end;
  if (begin == end) return;
  if (end - begin >= 2 && *begin == '\'' && end[-1] == '\'') {
    for (const char* c = begin + 1; c < end - 1; ++c) {
      push_back(static_cast<T>(static_cast<signed char>(*c)), module);
    }
    return;
  }
  push_back(static_cast<T>(readUnsigned32(std::string(begin, end))), module);
}

template <class T>
void CNumericPath<T>::string(const std::string& text) {
  assign(text, kDefaultModule);
}

template <class T>
std::string CNumericPath<T>::string() const {
  std::string out;
  out.reserve(depth_ * 6);
  char buffer[16];
  for (std::uint64_t i = 0; i < depth_; ++i) {
    if (i != 0) out += separator_;
    const auto value = static_cast<std::uint32_t>(elements_[i]);
    const char* format = value <= 65535u ? "%u" : "0x%x";
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    out.append(buffer, static_cast<std::size_t>(length));
  }
  return out;
}

template <class T>
void CNumericPath<T>::reverse() {
  std::reverse(elements_.begin(), elements_.begin() + depth_);
}

template <class T>
bool CNumericPath<T>::operator<(const CNumericPath& other) const {
  const std::uint64_t common = depth_ < other.depth_ ? depth_ : other.depth_;
  for (std::uint64_t i = 0; i < common; ++i) {
    if (elements_[i] != other.elements_[i]) return elements_[i] < other.elements_[i];
  }
  return depth_ < other.depth_;
}

template <class T>
bool CNumericPath<T>::operator==(const CNumericPath& other) const {
  return depth_ == other.depth_ &&
         std::equal(elements_.begin(), elements_.begin() + depth_, other.elements_.begin());
}

template class CNumericPath<std::uint32_t>;
template class CNumericPath<std::int32_t>;

}  // namespace qvt
