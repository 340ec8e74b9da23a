// CBase64: RFC 4648 Base64 between bytes and text.
//
// The standard alphabet with "=" padding and no line breaks:
//
//   CBase64::encode(CHexStore(reinterpret_cast<const unsigned char*>("ab"), 2));  // "YWI="
//   CBase64::decode("YWJj").string();                                             // "61-62-63"
#pragma once

#include <cstddef>
#include <string>

#include "class_a/standard/CHexStore.h"

namespace qvt {

class CBase64 {
 public:
  // encode: the Base64 text of the bytes; empty input gives empty text.
  static std::string encode(const CHexStore& bytes);
  static std::string encode(const unsigned char* bytes, std::size_t length);

  // decode: the bytes of Base64 text; empty text gives an empty sequence.
  // Raises CException "Cannot decode input '%1' from base 64." ("Invalid
  // length.") when the length is not a multiple of 4, and "Error decoding
  // base 64." ("Invalid data.") for a character outside the alphabet or an
  // "=" anywhere but the last one or two places of the last group.
  static CHexStore decode(const std::string& text);
};

}  // namespace qvt
