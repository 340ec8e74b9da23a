// CJsonWriter: builds one line of JSON text.
//
// The command prints one JSON object per line, in the layout a person reads
// and a script parses: one blank after every ":" and ",", nothing else:
//
//   CJsonWriter json;
//   json.beginObject().member("expression", "1 + 2").member("value", "3").endObject();
//   json.text();   // {"expression": "1 + 2", "value": "3"}
//
// The text is always valid JSON (RFC 8259), whatever bytes a string holds:
// '"' and '\' are escaped, control characters (below 0x20) and DEL become
// \b, \f, \n, \r, \t or \u00XX, well-formed UTF-8 passes through unchanged,
// and every byte that is not part of well-formed UTF-8 becomes \u00XX with
// XX the byte's value. A reader therefore sees such a byte as the code point
// of the same number (byte 0xFF reads as U+00FF), as Latin-1 would show it.
// Hexadecimal digits are lower case.
//
// The caller keeps the structure balanced (a key before each value inside an
// object, every begin matched by its end); the writer only places the
// separators.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace qvt::tool {

class CJsonWriter {
 public:
  // beginObject, endObject, beginArray, endArray: open and close a container.
  CJsonWriter& beginObject();
  CJsonWriter& endObject();
  CJsonWriter& beginArray();
  CJsonWriter& endArray();
  // key: the name of the next member of the open object.
  CJsonWriter& key(std::string_view name);
  // value: a string, number, boolean or null as the next value.
  CJsonWriter& value(std::string_view text);
  CJsonWriter& value(const char* text) { return value(std::string_view(text)); }
  CJsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
  CJsonWriter& value(bool flag);
  template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
  CJsonWriter& value(T number) {
    if constexpr (std::is_signed_v<T>) {
      return _number(std::to_string(static_cast<std::int64_t>(number)));
    } else {
      return _number(std::to_string(static_cast<std::uint64_t>(number)));
    }
  }
  CJsonWriter& null();
  // member: key and value in one call.
  template <class T>
  CJsonWriter& member(std::string_view name, const T& memberValue) {
    key(name);
    return value(memberValue);
  }

  // text: the JSON written so far.
  const std::string& text() const noexcept { return text_; }
  // clear: starts a new text.
  void clear() noexcept;

  // appendString: text as a quoted and escaped JSON string, appended to out.
  static void appendString(std::string& out, std::string_view text);

 private:
  // _separate: the "," before a value that is not the first of its container.
  void _separate();
  CJsonWriter& _number(const std::string& digits);

  std::string text_;
  std::vector<bool> hasElements_;  // per open container: something written
  bool afterKey_ = false;
};

}  // namespace qvt::tool
