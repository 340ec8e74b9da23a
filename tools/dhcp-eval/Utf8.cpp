#include "tools/dhcp-eval/Utf8.h"

namespace qvt::tool {

namespace {

bool isContinuation(unsigned char byte) noexcept {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

std::size_t utf8SequenceLength(std::string_view text, std::size_t position) noexcept {
  if (position >= text.size()) return 0;
  const auto at = [&](std::size_t offset) {
    return static_cast<unsigned char>(text[position + offset]);
  };
  const unsigned char lead = at(0);
  std::size_t length = 0;
  // The second byte's range excludes overlong forms, surrogates and code
  // points above U+10FFFF (the table of well-formed sequences in RFC 3629).
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - position < length) return 0;
  if (at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!isContinuation(at(i))) return 0;
  }
  return length;
}

}  // namespace qvt::tool
