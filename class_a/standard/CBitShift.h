// CBitShift: bit shifts over a byte array taken as one big-endian number.
//
// Byte 0 is the most significant. Bits shifted out are lost and zero bits
// enter from the other end:
//
//   unsigned char b[] = {0x01, 0x80};
//   CBitShift::left(b, 2, 1);   // 03 00
//   CBitShift::right(b, 2, 9);  // 00 01
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvt {

class CBitShift {
 public:
  // left: moves every bit n places toward byte 0, in place. n = 0 changes
  // nothing; n >= 8 * length clears the array. Raises CException "Cannot left
  // shift by %1 bits." ("Negative shift is not supported.") for n < 0.
  static void left(unsigned char* bytes, std::size_t length, std::int64_t n);
  // right: moves every bit n places toward the last byte, in place; raises
  // "Cannot right shift by %1 bits." for n < 0, otherwise as left.
  static void right(unsigned char* bytes, std::size_t length, std::int64_t n);
};

}  // namespace qvt
