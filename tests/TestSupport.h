// TestSupport: small helpers shared by the unit tests.
//
// Failures are compared as whole texts; the hexadecimal helpers are kept
// independent of CHexStore's own parser so that a fault there cannot mask one
// in the code under test:
//
//   EXPECT_EQ(errorText([] { CIPAddress("x"); }),
//             "Cannot create an ip address. (Text 'x' is not a valid IP address.)");
//   EXPECT_EQ(toHex(digest), "900150983CD24FB0D6963F7D28E17F72");
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "class_a/standard/CException.h"

namespace qvt_test {

// caught: the CException that action raises, or nothing.
template <class F>
std::optional<qvt::CException> caught(F&& action) {
  try {
    action();
  } catch (const qvt::CException& e) {
    return e;
  }
  return std::nullopt;
}

// errorText: the text ("description (reason)") of the CException that action
// raises, or "no error".
template <class F>
std::string errorText(F&& action) {
  const auto e = caught(action);
  return e ? e->text() : "no error";
}

// errorWhere: "operation: description (reason)" of the CException that
// action raises, or "no error".
template <class F>
std::string errorWhere(F&& action) {
  const auto e = caught(action);
  return e ? e->operation() + ": " + e->text() : "no error";
}

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

// bytesOf: the bytes of text.
inline std::vector<unsigned char> bytesOf(const std::string& text) {
  return std::vector<unsigned char>(text.begin(), text.end());
}

}  // namespace qvt_test
