#include "tools/dhcp-eval/CJsonWriter.h"

#include "tools/dhcp-eval/Utf8.h"

namespace qvt::tool {

namespace {

void appendUnicodeEscape(std::string& out, unsigned char byte) {
  static const char kDigits[] = "0123456789abcdef";
  out += "\\u00";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

}  // namespace

CJsonWriter& CJsonWriter::beginObject() {
  _separate();
  text_ += '{';
  hasElements_.push_back(false);
  return *this;
}

CJsonWriter& CJsonWriter::endObject() {
  text_ += '}';
  if (!hasElements_.empty()) hasElements_.pop_back();
  return *this;
}

CJsonWriter& CJsonWriter::beginArray() {
  _separate();
  text_ += '[';
  hasElements_.push_back(false);
  return *this;
}

CJsonWriter& CJsonWriter::endArray() {
  text_ += ']';
  if (!hasElements_.empty()) hasElements_.pop_back();
  return *this;
}

CJsonWriter& CJsonWriter::key(std::string_view name) {
  _separate();
  appendString(text_, name);
  text_ += ": ";
  afterKey_ = true;
  return *this;
}

CJsonWriter& CJsonWriter::value(std::string_view text) {
  _separate();
  appendString(text_, text);
  return *this;
}

CJsonWriter& CJsonWriter::value(bool flag) {
  _separate();
  text_ += flag ? "true" : "false";
  return *this;
}

CJsonWriter& CJsonWriter::null() {
  _separate();
  text_ += "null";
  return *this;
}

void CJsonWriter::clear() noexcept {
  text_.clear();
  hasElements_.clear();
  afterKey_ = false;
}

CJsonWriter& CJsonWriter::_number(const std::string& digits) {
  _separate();
  text_ += digits;
  return *this;
}

void CJsonWriter::_separate() {
  if (afterKey_) {
    // A value after its key: the key already placed the separator.
    afterKey_ = false;
    return;
  }
  if (hasElements_.empty()) return;
  if (hasElements_.back()) text_ += ", ";
  hasElements_.back() = true;
}

void CJsonWriter::appendString(std::string& out, std::string_view text) {
  out += '"';
  appendUtf8Escaped(out, text, [](std::string& escaped, unsigned char byte) {
    switch (byte) {
      case '"':
        escaped += "\\\"";
        break;
      case '\\':
        escaped += "\\\\";
        break;
      case '\b':
        escaped += "\\b";
        break;
      case '\f':
        escaped += "\\f";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\t':
        escaped += "\\t";
        break;
      default:
        if (byte < 0x20 || byte >= 0x7F) {
          appendUnicodeEscape(escaped, byte);
        } else {
          escaped += static_cast<char>(byte);
        }
    }
  });
  out += '"';
}

}  // namespace qvt::tool
