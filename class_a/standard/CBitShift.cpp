#include "class_a/standard/CBitShift.h"

#include <cstring>

#include "class_a/standard/Fail.h"

namespace qvt {

void CBitShift::left(unsigned char* bytes, std::size_t length, std::int64_t n) {
  if (n < 0) {
    fail(CRaiser::none(), "standard", "CBitShift::left", {"Cannot left shift by %1 bits.", n},
         "Negative shift is not supported.");
  }
  if (length == 0 || n == 0) return;
  const std::uint64_t byteShift = static_cast<std::uint64_t>(n) / 8;
  if (byteShift >= length) {
    std::memset(bytes, 0, length);
    return;
  }
  const std::size_t whole = static_cast<std::size_t>(byteShift);
  const unsigned bits = static_cast<unsigned>(n % 8);
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
  if (n < 0) {
    fail(CRaiser::none(), "standard", "CBitShift::right", {"Cannot right shift by %1 bits.", n},
         "Negative shift is not supported.");
  }
  if (length == 0 || n == 0) return;
  const std::uint64_t byteShift = static_cast<std::uint64_t>(n) / 8;
  if (byteShift >= length) {
    std::memset(bytes, 0, length);
    return;
  }
  const std::size_t whole = static_cast<std::size_t>(byteShift);
  const unsigned bits = static_cast<unsigned>(n % 8);
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
