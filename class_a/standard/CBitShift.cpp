#include "class_a/standard/CBitShift.h"

#include <cstring>

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

// split: refuses a negative n, and zeroes the bytes when n shifts them all
// out. True when bits are left to move: n is then `whole` bytes and `bits`
// bits, with whole < length.
bool split(unsigned char* bytes, std::size_t length, std::int64_t n, const char* operation,
           const char* description, std::size_t& whole, unsigned& bits) {
  if (n < 0) {
    fail(CRaiser::none(), "standard", operation, {description, n},
         "Negative shift is not supported.");
  }
  if (length == 0 || n == 0) return false;
  if (static_cast<std::uint64_t>(n) / 8 >= length) {
    std::memset(bytes, 0, length);
    return false;
  }
  whole = static_cast<std::size_t>(n / 8);
  bits = static_cast<unsigned>(n % 8);
  return true;
}

}  // namespace

void CBitShift::left(unsigned char* bytes, std::size_t length, std::int64_t n) {
  std::size_t whole = 0;
  unsigned bits = 0;
  if (!split(bytes, length, n, "CBitShift::left", "Cannot left shift by %1 bits.", whole, bits)) {
    return;
  }
  if (whole > 0) {
    std::memmove(bytes, bytes + whole, length - whole);
    std::memset(bytes + length - whole, 0, whole);
  }
  if (bits == 0) return;
  const std::size_t used = length - whole;
  for (std::size_t i = 0; i + 1 < used; ++i) {
    bytes[i] = static_cast<unsigned char>((bytes[i] << bits) | (bytes[i + 1] >> (8 - bits)));
  }
  bytes[used - 1] = static_cast<unsigned char>(bytes[used - 1] << bits);
}

void CBitShift::right(unsigned char* bytes, std::size_t length, std::int64_t n) {
  std::size_t whole = 0;
  unsigned bits = 0;
  if (!split(bytes, length, n, "CBitShift::right", "Cannot right shift by %1 bits.", whole, bits)) {
    return;
  }
  if (whole > 0) {
    std::memmove(bytes + whole, bytes, length - whole);
    std::memset(bytes, 0, whole);
  }
  if (bits == 0) return;
  for (std::size_t i = length - 1; i > whole; --i) {
    bytes[i] = static_cast<unsigned char>((bytes[i] >> bits) | (bytes[i - 1] << (8 - bits)));
  }
  bytes[whole] = static_cast<unsigned char>(bytes[whole] >> bits);
}

}  // namespace qvt
