// Hexadecimal text helpers for the cipher and digest tests, kept independent
// of CHexStore's own parser so that a fault there cannot mask one here.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qvt_test {

// fromHex: bytes of contiguous hexadecimal text ("4EF99745").
inline std::vector<unsigned char> fromHex(const std::string& text) {
  std::vector<unsigned char> bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    bytes.push_back(static_cast<unsigned char>(std::stoul(text.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// toHex: upper-case contiguous hexadecimal text of bytes.
inline std::string toHex(const unsigned char* bytes, std::size_t length) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

inline std::string toHex(const std::vector<unsigned char>& bytes) {
  return toHex(bytes.data(), bytes.size());
}

inline std::vector<unsigned char> bytesOf(const std::string& text) {
  return std::vector<unsigned char>(text.begin(), text.end());
}

}  // namespace qvt_test
