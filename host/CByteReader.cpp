#include "host/CByteReader.h"

#include "class_a/standard/Fail.h"

namespace qvt::host {

void CByteReader::need(std::size_t count) const {
  if (has(count)) return;
  fail(CRaiser::of(*this), "host", site_.operation, site_.description,
       {"%1 bytes needed at offset %2, %3 left.", count, offset(), remaining()});
}

const unsigned char* CByteReader::take(std::size_t count) {
  need(count);
  const unsigned char* at = data_ + position_;
  position_ += count;
  return at;
}

std::uint64_t CByteReader::number(std::size_t width) {
  if (width > 8) {
    fail(CRaiser::of(*this), "host", site_.operation, site_.description,
         {"A number of %1 bytes at offset %2 is wider than 8 bytes.", width, offset()});
  }
  const unsigned char* bytes = take(width);
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i)
    value = (value << 8) | bytes[i];
  return value;
}

std::uint8_t CByteReader::u8() {
  return static_cast<std::uint8_t>(number(1));
}
std::uint16_t CByteReader::u16() {
  return static_cast<std::uint16_t>(number(2));
}
std::uint32_t CByteReader::u24() {
  return static_cast<std::uint32_t>(number(3));
}
std::uint32_t CByteReader::u32() {
  return static_cast<std::uint32_t>(number(4));
}
std::uint64_t CByteReader::u64() {
  return number(8);
}

CByteReader CByteReader::sub(std::size_t count) {
  const std::size_t base = offset();
  const unsigned char* at = take(count);
  return CByteReader(at, count, site_, base);
}

std::uint8_t CByteReader::peek(std::size_t ahead) const {
  if (ahead >= remaining()) need(ahead + 1);
  return data_[position_ + ahead];
}

}  // namespace qvt::host
