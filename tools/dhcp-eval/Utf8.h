// Utf8: recognising well-formed UTF-8 in 8-bit text.
//
// The expression language keeps text as bytes; the command's output escapes
// the bytes that do not form UTF-8 so that terminals and JSON readers are
// never handed malformed text:
//
//   utf8SequenceLength("\xC3\xA9x", 0);   // 2: "é"
//   utf8SequenceLength("\xFF", 0);        // 0: not UTF-8
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvt::tool {

// utf8SequenceLength: the length (2 to 4) of the well-formed multi-byte UTF-8
// sequence that starts at text[position], or 0 when the bytes there do not
// form one (a byte below 0x80, a stray continuation byte, an overlong form, a
// surrogate, a code point above U+10FFFF or a truncated sequence).
std::size_t utf8SequenceLength(std::string_view text, std::size_t position) noexcept;

// appendUtf8Escaped: appends text to out, copying well-formed multi-byte UTF-8
// sequences unchanged and handing every other byte (ASCII, or a byte of 0x80
// and above that is not part of such a sequence) to escapeByte(out, byte),
// which appends it as it is or escaped.
template <class EscapeByte>
void appendUtf8Escaped(std::string& out, std::string_view text, EscapeByte&& escapeByte) {
  out.reserve(out.size() + text.size());
  std::size_t position = 0;
  while (position < text.size()) {
    const auto byte = static_cast<unsigned char>(text[position]);
    const std::size_t length = byte >= 0x80 ? utf8SequenceLength(text, position) : 0;
    if (length > 0) {
      out.append(text.substr(position, length));
      position += length;
    } else {
      escapeByte(out, byte);
      ++position;
    }
  }
}

}  // namespace qvt::tool
