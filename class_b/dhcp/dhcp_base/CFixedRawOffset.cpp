#include "class_b/dhcp/dhcp_base/CFixedRawOffset.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

bool isStripped(char c) {
  return c == ' ' || c == '"' || c == '\\';
}

// atoi, taken as unsigned 32 bits ("-2" is 4294967294), without its
// undefined overflow. Numbers up to 4294967295 are read as they stand, so
// every text string() writes reads back as the same number; beyond the
// 32-bit range they clamp as before (INT_MIN, INT_MAX).
std::uint32_t readNumber(const std::string& piece) {
  const long long value = std::strtoll(piece.c_str(), nullptr, 10);
  if (value > static_cast<long long>(UINT32_MAX)) return INT_MAX;
  const long long clamped = value < INT_MIN ? INT_MIN : value;
  return static_cast<std::uint32_t>(clamped);
}

}  // namespace

CFixedRawOffset::~CFixedRawOffset() = default;

void CFixedRawOffset::string(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isStripped(text[begin]))
    ++begin;
  while (end > begin && isStripped(text[end - 1]))
    --end;
  const std::string body = text.substr(begin, end - begin);

  static constexpr const char* kReasons[] = {"Cannot locate a 'tag' definition.",
                                             "Cannot locate an 'offset' definition.",
                                             "Cannot locate a 'length' definition."};
  std::uint32_t values[3];
  std::size_t position = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma =
        position <= body.size() ? body.find(',', position) : std::string::npos;
    const std::string piece =
        position <= body.size() ? body.substr(position, comma - position) : std::string();
    if (piece.empty()) {
      fail(CRaiser::of(*this), "dhcp_base", "CFixedRawOffset::string",
           {"Format '%1' does not describe a valid fixed offset.", text}, kReasons[i]);
    }
    values[i] = readNumber(piece);
    position = comma == std::string::npos ? body.size() + 1 : comma + 1;
  }
  tag_ = values[0];
  offset_ = values[1];
  length_ = values[2];
}

std::string CFixedRawOffset::string() const {
  return std::to_string(tag_) + "," + std::to_string(offset_) + "," + std::to_string(length_);
}

}  // namespace qvt
