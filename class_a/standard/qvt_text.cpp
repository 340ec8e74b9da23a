#include "class_a/standard/qvt_text.h"

#include <cstdio>
#include <cstdlib>

#include "class_a/standard/Fail.h"

std::string process_control_chars(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      result += text[i];
      continue;
    }
    if (++i == text.size()) break;  // a backslash at the very end is dropped
    switch (text[i]) {
      case 'n':
        result += '\n';
        break;
      case 'r':
        result += '\r';
        break;
      case 'x': {
        if (text.size() - i - 1 < 2) {
          qvt::fail(qvt::CRaiser::none(), "standard", "::process_control_chars",
                    {"Cannot process control characters in text '%1'.", text},
                    "Insufficient digits for a hex escape sequence.");
        }
        // strtoul keeps its own rules here: it stops at the first character
        // that is no hexadecimal digit, and takes a leading blank or sign.
        const char digits[3] = {text[i + 1], text[i + 2], 0};
        result += static_cast<char>(std::strtoul(digits, nullptr, 16));
        i += 2;
        break;
      }
      default:
        result += text[i];
        break;  // "\\" and any other escaped character
    }
  }
  return result;
}

std::string escape_control_chars(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\n':
        result += "\\n";
        break;
      case '\r':
        result += "\\r";
        break;
      case '"':
        result += "\\\"";
        break;
      case '\\':
        result += "\\\\";
        break;
      default:
        if (byte < 32 || byte > 127) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", byte);
          result += hex;
        } else {
          result += c;
        }
    }
  }
  return result;
}
